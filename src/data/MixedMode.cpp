#include "data/MixedMode.h"

#include <cmath>
#include <complex>

namespace MixedMode {

bool Offered(int ports)
{
    return ports >= 4 && ports % 2 == 0;
}

void PairPorts(int ports, int pair, PortPairing pairing, int& plus, int& minus)
{
    if (pairing == PortPairing::NEIGHBOURS) {
        plus = 2 * pair - 1;
        minus = 2 * pair;
    } else {
        plus = pair;
        minus = pair + ports / 2;
    }
}

CComplex Element(const CComplex* s, int ports, char rowMode, int row, char colMode, int col,
                 PortPairing pairing)
{
    int rp = 0, rm = 0, cp = 0, cm = 0;
    PairPorts(ports, row, pairing, rp, rm);
    PairPorts(ports, col, pairing, cp, cm);
    // The weight of the negative port: -1 in a differential row of M, +1 in a common one.
    const double rw = rowMode == 'd' ? -1.0 : 1.0;
    const double cw = colMode == 'd' ? -1.0 : 1.0;
    const auto at = [&](int r, int c) {
        return s[static_cast<std::size_t>((r - 1) * ports + (c - 1))].ToStd();
    };
    const std::complex<double> v =
        0.5 * (at(rp, cp) + cw * at(rp, cm) + rw * at(rm, cp) + rw * cw * at(rm, cm));
    return CComplex(v);
}

double ReferenceImpedance(char mode, double zPlus, double zMinus)
{
    const double sum = zPlus + zMinus;
    if (mode == 'd')
        return sum;
    return sum != 0.0 ? zPlus * zMinus / sum : 0.0;
}

std::string PairingName(PortPairing pairing)
{
    return pairing == PortPairing::NEIGHBOURS ? "12" : "13";
}

}  // namespace MixedMode
