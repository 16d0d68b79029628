// --dump FILE: the loaded data set as text.
#include "app/cli/CommandLine.h"

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>
#include "app/cli/CollectingSink.h"
#include "data/S2pData.h"
#include "platform/NumberFormat.h"

namespace {

std::string G17(double v)
{
    return FormatValue("%.17g", v);
}

}  // namespace

int CCommandLine::Dump(const std::string& path)
{
    CCollectingSink sink(err);
    CS2pData data;
    if (LoadAsSlot(data, path, sink) != 0)
        return 1;
    const std::size_t n = data.RecordCount();
    const int ports = data.PortCount();
    out << "ports=" << ports << " unit=" << data.GetFreqUnitLabel()
        << " param=" << CS2pData::ParamLetter(data.paramKind) << " r=" << G17(data.refImpedance)
        << " records=" << n;
    // Per-port references only where they say more than r (a [Reference] replaces it).
    const std::vector<double>& refs = data.refImpedances;
    if (std::any_of(refs.begin(), refs.end(), [&](double r) { return r != data.refImpedance; })) {
        out << " refs=";
        for (std::size_t p = 0; p < refs.size(); ++p)
            out << (p ? "," : "") << G17(refs[p]);
    }
    out << '\n';
    std::string line;
    for (std::size_t i = 0; i < n; ++i) {
        line = G17(data.FreqAt(i));
        for (int r = 1; r <= ports; ++r) {
            for (int c = 1; c <= ports; ++c) {
                const CComplex z = data.Element(i, r, c);
                line += ' ';
                line += G17(z.re);
                line += ' ';
                line += G17(z.im);
            }
        }
        line += '\n';
        out << line;
    }
    return 0;
}
