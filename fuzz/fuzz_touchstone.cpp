// Feeds arbitrary bytes to the Touchstone reader; the first byte picks the port count
// that a file name would give (0: none), so every layout and version 2 files are reached.
#include "data/S2pData.h"
#include "platform/MessageBox.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

class CSilentSink : public CMessageSink {
public:
    void Show(const std::string&, MessageIcon) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    static CSilentSink silent;
    SetMessageSink(&silent);
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(bytes + 1), size - 1);
    CS2pData data;
    const int rc = data.Read(text, bytes[0] % 18);
    if (rc != 0 && rc != 101 && rc != 102)
        std::abort();
    if (rc == 0) {
        if (data.RecordCount() < 3 || data.RecordCount() > 16001)
            std::abort();
        for (std::size_t i = 0; i < data.RecordCount(); ++i) {
            if (std::isnan(data.FreqAt(i)) || (i > 0 && data.FreqAt(i) < data.FreqAt(i - 1)))
                std::abort();
        }
        if (data.refImpedances.size() != static_cast<std::size_t>(data.PortCount()))
            std::abort();
        for (const int code : data.ElementCodes())
            if (!data.HasCode(code))
                std::abort();
        data.NormalizeFreqUnit();
    }
    return 0;
}
