// Feeds arbitrary bytes to the Touchstone reader. The first byte picks the file's name:
// 0 a ".ts" name (no port count), 1..99 a ".sNp" name, 100 a ".s100p" name that must be
// refused; the name goes through PortsFromName as Load's does, so every port count and
// version 2 files are reached.
#include "data/S2pData.h"
#include "platform/MessageBox.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

class CSilentSink : public CMessageSink {
public:
    void Show(const std::string&, MessageIcon) override {}
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static CSilentSink silent;
    SetMessageSink(&silent);
    if (size == 0)
        return 0;
    const int pick = bytes[0] % 101;
    const std::string name = pick == 0 ? "fuzz.ts" : "dir.s4p/fuzz.s" + std::to_string(pick) + "p";
    const int named = CS2pData::PortsFromName(name);
    Check(named == (pick == 0 ? 0 : pick <= MAX_PORTS ? pick : -1));
    if (named < 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(bytes + 1), size - 1);
    CS2pData data;
    data.SetFileName(name);
    const int rc = data.Read(text, named);
    Check(rc == 0 || rc == 101 || rc == 102);
    if (rc != 0)
        return 0;
    Check(data.RecordCount() >= MIN_RECORDS && data.RecordCount() <= MAX_RECORDS);
    Check(data.version == 2 || data.PortCount() == (named ? named : 2));
    const int n = data.PortCount();
    for (std::size_t i = 0; i < data.RecordCount(); ++i) {
        Check(std::isfinite(data.FreqAt(i)) && data.FreqAt(i) >= 0);
        Check(i == 0 || data.FreqAt(i) >= data.FreqAt(i - 1));
        const CComplex* s = data.Matrix(i);
        for (int k = 0; k < n * n; ++k)
            Check(std::isfinite(s[k].re) && std::isfinite(s[k].im));
    }
    Check(data.refImpedances.size() == static_cast<std::size_t>(n));
    for (const double r : data.refImpedances)
        Check(std::isfinite(r) && r > 0);
    Check(std::isfinite(data.refImpedance) && data.refImpedance > 0);
    for (const int code : data.ElementCodes())
        Check(data.HasCode(code));
    data.NormalizeFreqUnit();
    return 0;
}
