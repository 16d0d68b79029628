// Mixed-mode (differential and common) parameters of a single-ended 2n-port, and the
// ways of choosing which ports form the pairs.
#pragma once

#include "data/Complex.h"

#include <string>

// Which single-ended ports of a 2n-port form logical pair k (the first one the positive).
enum class PortPairing {
    ACROSS = 0,      // "1-3 / 2-4": ports k and k + n
    NEIGHBOURS = 1,  // "1-2 / 3-4": ports 2k - 1 and 2k
};

namespace MixedMode {
// Single-ended files of an even port count from 4 on have mixed-mode parameters.
bool Offered(int ports);
// The single-ended ports (1-based) of logical pair 1..ports / 2.
void PairPorts(int ports, int pair, PortPairing pairing, int& plus, int& minus);
// Element (rowMode row, colMode col) of M S M^-1, modes 'd' or 'c', logical ports
// 1..ports / 2; s is the single-ended S-matrix, row-major. M is orthogonal (rows
// (a+ - a-) / sqrt 2 and (a+ + a-) / sqrt 2), so M^-1 = M^T and every element needs
// only four elements of S.
CComplex Element(const CComplex* s, int ports, char rowMode, int row, char colMode, int col,
                 PortPairing pairing);
// Reference impedance of a mode of a pair whose ports have zPlus and zMinus: their sum
// for d (2 Z0), their parallel value for c (Z0 / 2).
double ReferenceImpedance(char mode, double zPlus, double zMinus);
// "13" or "12", as the command line spells the pairings.
std::string PairingName(PortPairing pairing);
}  // namespace MixedMode
