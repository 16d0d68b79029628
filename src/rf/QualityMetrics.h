// Quality metrics of S-parameter data, the frequency-domain checks of IEEE 370: how passive,
// how reciprocal and how causal the measured or simulated network looks.
//
// For a judged matrix of P ports over Nf records (S_n the P x P matrix of record n):
//   Passivity    PM_n = the largest singular value of S_n (the square root of the largest
//                eigenvalue of S_n^H S_n). PW_n = (PM_n - 1.00001) / 0.1 where PM_n exceeds
//                1.00001, else 0. Passivity = max(Nf - sum PW_n, 0) / Nf * 100 %.
//   Reciprocity  (P > 1) RM_n = sum over all i, j of |S_ij - S_ji| / (P (P - 1)).
//                RW_n = (RM_n - 1e-6) / 0.1 where RM_n exceeds 1e-6, else 0.
//                Reciprocity = max(Nf - sum RW_n, 0) / Nf * 100 %.
//   Causality    per element S_ij the steps V_n = S_ij(n + 1) - S_ij(n) and their turns
//                R_n = Re(V_{n+1}) Im(V_n) - Im(V_{n+1}) Re(V_n), positive where the element
//                turns clockwise with frequency as a causal one does (e^{-jw tau}).
//                CQ_ij = sum of the positive R_n / sum of |R_n| * 100 %, 100 % where every
//                R_n is 0. Causality = the smallest CQ_ij.
// Ratings: causality good above 80 %, acceptable above 50, inconclusive above 20, else
// poor; passivity and reciprocity good above 99.9 %, acceptable above 99, inconclusive above
// 80, else poor.
//
// The judged matrix is the file's S matrix (Z, Y, H and G converted record by record), or
// the differential (Sdd) or common-mode (Scc) block: of a single-ended 2n-port (n >= 2) by
// its port pairing, of a mixed-mode file by the modes of its rows. A record whose judged
// matrix is not finite (a singular conversion gives NaN) is left out, as if the file did
// not have it; Nf counts the records judged.
#pragma once

#include "data/MixedMode.h"

#include <cstddef>
#include <vector>

class CS2pData;

namespace QualityMetrics {

enum class Block { SINGLE_ENDED, DIFFERENTIAL, COMMON };
enum class Metric { CAUSALITY, PASSIVITY, RECIPROCITY };

enum class Outcome {
    OK,
    NO_BLOCK,          // the file has no such block (HasBlock)
    NO_FINITE_MATRIX,  // no record has a finite matrix
    OUT_OF_RANGE,      // values so large (about 1e150) that a sum overflows
};

struct Result {
    double causality = 100.0;           // percent, 0..100
    double passivity = 100.0;           // percent, 0..100
    double reciprocity = 100.0;         // percent, 0..100; 100 where it does not apply
    bool hasReciprocity = false;        // false for a matrix of one port
    int ports = 0;                      // the judged matrix is ports x ports
    std::size_t records = 0;            // records judged (Nf)
    std::size_t skipped = 0;            // records left out: their matrix is not finite
    double largestSigma = 0.0;          // the largest PM_n
    double worstPassivityFreq = 0.0;    // its record's frequency (the first of equals), in
                                        // the data set's unit
    double largestReciprocity = 0.0;    // the largest RM_n; 0 for one port
    double worstReciprocityFreq = 0.0;  // its frequency, as above
};

// The per-record quantities, one entry per record of the file (NaN where it was left out).
struct PerRecord {
    std::vector<double> sigma;        // PM_n
    std::vector<double> reciprocity;  // RM_n; empty for a matrix of one port
};

// Whether the file has the block: the single-ended matrix always; Sdd and Scc for
// single-ended files that MixedMode::Offered, and for mixed-mode files with rows of that mode.
bool HasBlock(const CS2pData& data, Block block);

// The metrics of the block; pairing forms the pairs of a single-ended file. result (and
// perRecord when given) are filled on OK only.
Outcome Compute(const CS2pData& data, Block block, PortPairing pairing, Result& result,
                PerRecord* perRecord = nullptr);

// "good", "acceptable", "inconclusive" or "poor" for a percentage of the metric.
const char* Rating(Metric metric, double percent);

}  // namespace QualityMetrics
