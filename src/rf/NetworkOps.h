// Operations on a network's S-parameters, frequency by frequency: new reference impedances,
// cascading and de-embedding two-ports, closing ports with loads, putting the ports in
// another order. Each works on a data set in place and keeps it whole when it refuses.
//
// Conventions: power waves on real, positive references; a port's reference is
// CS2pData::refImpedances[port] (refImpedance where that list is empty). Z, Y, H and G data
// sets are converted to S first; the result is always S.
//   Renormalise: Gamma = diag((Z'_i - Z_i)/(Z'_i + Z_i)), A = diag(sqrt(1 - Gamma_i^2)),
//                S' = A^-1 (S - Gamma) (I - Gamma S)^-1 A.
//   Transfer matrix of a two-port: T = (1/S21) [[-det S, S11], [-S22, 1]], so that
//                [b1; a1] = T [a2; b2]. Cascade: T = T_A T_B (B after port 2 of A).
//                De-embed: T_dut = T_L^-1 T T_R^-1 (L on port 1, its port 2 facing the
//                device; R on port 2, its port 1 facing the device).
//   Terminate:   S' = S_pp + S_pq G (I - S_qq G)^-1 S_qp, p the kept ports, q the closed ones,
//                G = diag of the loads' reflections against their ports' references.
//   Reorder:     port k of the result is port p_k of the data set (references move along).
#pragma once

#include <string>
#include <vector>

class CS2pData;

namespace NetworkOps {

// New references lie from a micro-ohm to a gigohm: beyond, the waves' normalisation sqrt(1 -
// Gamma^2) rounds to 0 against the usual 50 ohm and every result is lost.
constexpr double MIN_REFERENCE = 1e-6;
constexpr double MAX_REFERENCE = 1e9;
bool UsableReference(double ohms);

// A load closing a port.
struct Load {
    enum class Kind { OHMS, OPEN, SHORT };
    int port = 1;  // 1-based
    Kind kind = Kind::OHMS;
    double ohms = 50.0;
};

// Each returns false, with why and the data set as it was, for what it cannot do: data sets
// of mixed-mode ports, references that are not positive numbers, ports that do not exist or
// are named twice, two-port operations on other port counts, frequencies that do not match
// (within 1e-9 relative), and a matrix that cannot be inverted at some frequency.
bool ToS(CS2pData& data, std::string& why);
// references: one for every port, or one per port.
bool Renormalize(CS2pData& data, const std::vector<double>& references, std::string& why);
bool Cascade(CS2pData& data, const CS2pData& next, std::string& why);
// left and right may be null (nothing on that side), not both.
bool Deembed(CS2pData& data, const CS2pData* left, const CS2pData* right, std::string& why);
bool Terminate(CS2pData& data, const std::vector<Load>& loads, std::string& why);
bool Reorder(CS2pData& data, const std::vector<int>& order, std::string& why);

}  // namespace NetworkOps
