// Feeds arbitrary bytes to the Touchstone readers; the first byte picks the layout.
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
    LineList lines;
    SplitLines(text, lines);
    CS2pData data;
    int rc;
    switch (bytes[0] % 3) {
    case 0: rc = data.ReadS2p(lines); break;
    case 1: rc = data.ReadS3p(lines); break;
    default: rc = data.ReadS4p(lines); break;
    }
    if (rc != 0 && rc != 101 && rc != 102)
        std::abort();
    if (rc == 0) {
        if (data.RecordCount() < 3 || data.RecordCount() > 16001)
            std::abort();
        for (std::size_t i = 0; i < data.RecordCount(); ++i) {
            if (std::isnan(data.FreqAt(i)) || (i > 0 && data.FreqAt(i) < data.FreqAt(i - 1)))
                std::abort();
        }
        data.NormalizeFreqUnit();
    }
    return 0;
}
