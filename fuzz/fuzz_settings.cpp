// Feeds arbitrary bytes to the settings file reader as a file's contents. Whatever it
// reads must be written back as lines that read back to the very same lines: no value
// drifts, and nothing that was read is lost or invented on the way.
#include "app/AppFlags.h"
#include "app/SettingsFile.h"
#include "chart/ChartGraph.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    persistXScale = persistYScale = false;
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const LineList lines = CSettingsFile::GoodLines(text);
    for (const std::string& line : lines) {
        if (line.empty())
            std::abort();
        for (const char c : line) {
            const unsigned char u = static_cast<unsigned char>(c);
            if ((u < 0x20 && u != '\t') || u == 0x7F)
                std::abort();
        }
    }
    std::string lastPath, lastFile;
    CChartGraph graph;
    WindowPrefs prefs;
    CSettingsFile::ApplyLines(lines, lastPath, lastFile, graph, &prefs);
    const LineList written = CSettingsFile::BuildLines(lastPath, lastFile, graph, &prefs);

    std::string path2, file2;
    CChartGraph graph2;
    WindowPrefs prefs2;
    CSettingsFile::ApplyLines(CSettingsFile::GoodLines(""), path2, file2, graph2, &prefs2);
    std::string joined;
    for (const std::string& line : written)
        joined.append(line).push_back('\n');
    CSettingsFile::ApplyLines(CSettingsFile::GoodLines(joined), path2, file2, graph2, &prefs2);
    if (CSettingsFile::BuildLines(path2, file2, graph2, &prefs2) != written)
        std::abort();
    return 0;
}
