// --export --envelope: per view item the minimum, maximum and mean over any number of files,
// at the first file's frequencies.
#include "app/cli/CommandLine.h"

#include "app/ChartExport.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/BatchRunner.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/dialogs/DialogUnits.h"
#include "app/TorvexApp.h"
#include "app/TorvexSession.h"
#include "chart/TraceEnvelope.h"
#include "platform/AsciiText.h"

#include <exception>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The traces one file gives, one per item of the view it shows.
struct FileTraces {
    int status = 0;
    std::string err;
    int unit = CS2pData::GHZ;  // of the X values
    std::vector<std::pair<ValueFormatPair, CChartTrace>> items;
};

FileTraces ReadTraces(const CChartOptions& opts, const std::string& path)
{
    FileTraces result;
    std::ostringstream err;
    try {
        const CChartOptions fileOpts = opts.On({path});
        CCollectingSink sink(err);
        CTorvexSession session;
        result.status = fileOpts.Load(session, err);
        if (result.status == 0) {
            const CS2pData& data = session.Slot(1);
            result.unit = data.freqUnit;
            const CTraceBuilder builder = session.Builder();
            for (const ValueFormatPair& item : session.ShownSelection()) {
                CChartTrace trace;
                if (builder.Build(data, 1, item.value, item.valueFormat, trace))
                    result.items.emplace_back(item, std::move(trace));
            }
        }
    } catch (const std::exception& e) {
        err << "torvex: " << e.what() << '\n';
        result.status = 1;
    }
    result.err = err.str();
    return result;
}

// Each message line names the file it is about.
void WriteFileMessages(const std::string& text, const std::string& name, std::ostream& err)
{
    const std::string prefix = "torvex: ";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0)
            line.erase(0, prefix.size());
        err << prefix << name << ": " << line << '\n';
    }
}

// Half way between a colour and white: the band's edges, quieter than its mean.
COLORREF Lighter(COLORREF c)
{
    return Rgb((RgbRed(c) + 255) / 2, (RgbGreen(c) + 255) / 2, (RgbBlue(c) + 255) / 2);
}

// The envelope's traces in the graph: per item min, max, mean, in the item's colour, the
// lowest format on the left axis as the chart puts it; a band between min and max.
void FillGraph(CChartGraph& graph, const std::vector<ValueFormatPair>& items,
               const std::vector<CTraceEnvelope>& envelopes, std::size_t maxItems)
{
    graph.ClearTraces();
    graph.tracesOffered = 0;
    int leftFormat = -1;
    for (const ValueFormatPair& item : items)
        if (leftFormat < 0 || item.valueFormat < leftFormat)
            leftFormat = item.valueFormat;
    for (std::size_t k = 0; k < items.size() && k < maxItems; ++k) {
        const std::string name = CCommandLine::ViewItemName(items[k]);
        const COLORREF colour = TraceColorAt(k);
        const std::size_t first = graph.traces.size();
        CChartTrace traces[] = {envelopes[k].Min(), envelopes[k].Max(), envelopes[k].Mean()};
        const char* const words[] = {" min", " max", " mean"};
        for (int t = 0; t < 3; ++t) {
            traces[t].name = name + words[t];
            traces[t].color = t == 2 ? colour : Lighter(colour);
            traces[t].onLeftAxis = items[k].valueFormat == leftFormat;
            graph.traces.push_back(traces[t]);
        }
        graph.filledBands.push_back({first, first + 1, colour});
    }
}

}  // namespace

int CCommandLine::ExportEnvelope(const std::string& outPath, bool image, const CChartOptions& opts,
                                 const CBatchOptions& batch)
{
    const std::vector<std::string>& files = opts.files;
    std::vector<FileTraces> read(files.size());
    std::optional<std::size_t> reference;  // the first file that reads
    std::vector<ValueFormatPair> items;
    std::vector<CTraceEnvelope> envelopes;
    int referenceUnit = CS2pData::GHZ;
    std::size_t failed = 0;
    const CBatchRunner runner(batch.jobs);
    const auto work = [&](std::size_t i) { read[i] = ReadTraces(opts, files[i]); };
    const auto take = [&](std::size_t i) {
        FileTraces file = std::move(read[i]);
        if (!file.err.empty()) {
            runner.EraseProgress();
            WriteFileMessages(file.err, EscapeName(files[i]), err);
        }
        if (file.status != 0) {
            ++failed;
            return;
        }
        if (!reference) {
            reference = i;
            referenceUnit = file.unit;
            for (const auto& [item, trace] : file.items) {
                items.push_back(item);
                envelopes.emplace_back(trace);
            }
            return;
        }
        for (std::size_t k = 0; k < items.size(); ++k)
            for (const auto& [item, trace] : file.items)
                if (item == items[k])
                    envelopes[k].Add(
                        trace,
                        CS2pData::UnitFactor(file.unit) / CS2pData::UnitFactor(referenceUnit));
    };
    runner.Run(files.size(), work, take, showProgress ? &err : nullptr);
    if (!reference) {
        err << "torvex: no file could be read\n";
        return 1;
    }
    if (items.empty()) {
        err << "torvex: nothing to plot: the files have nothing of the view\n";
        return 2;
    }
    const int status = failed > 0 ? 1 : 0;
    if (!image) {
        CChartGraph graph;
        FillGraph(graph, items, envelopes, items.size());
        std::ofstream csv(outPath, std::ios::binary | std::ios::trunc);
        if (csv)
            WriteCsv(graph, "freq_" + FreqUnitLabel(referenceUnit), csv);
        csv.close();
        if (!csv) {
            err << "torvex: cannot write '" << EscapeName(outPath) << "'\n";
            return 1;
        }
        return status;
    }

    // The chart of the first file alone gives the axes, titles and size; the envelope's
    // traces take the place of its own.
    CChartOptions chartOpts = opts;
    chartOpts.files = {files[*reference]};
    std::ostringstream again;  // its messages were given above
    CCollectingSink sink(again);
    CTorvexSession session;
    if (chartOpts.Load(session, again) != 0) {
        err << "torvex: " << EscapeName(files[*reference]) << " could not be read again\n";
        return 1;
    }
    const std::size_t shownItems = CChartGraph::kMaxTraces / 3;
    if (items.size() > shownItems)
        err << "torvex: a chart shows the envelopes of at most " << shownItems << " items; "
            << items.size() - shownItems << " are left out (a CSV export has them all)\n";
    CChartGraph& graph = session.Graph();
    FillGraph(graph, items, envelopes, shownItems);
    const std::size_t count = files.size() - failed;
    session.sheet.title =
        "Envelope of " + std::to_string(count) + (count == 1 ? " file" : " files");
    graph.Rescale(true, true, true);
    // Each axis in the colour of its first mean, not of the lighter edge before it.
    for (std::size_t t = graph.traces.size(); t >= 3; t -= 3) {
        const CChartTrace& mean = graph.traces[t - 1];
        (mean.onLeftAxis ? graph.leftAxis : graph.rightAxis).color = mean.color;
    }
    if (const int written = opts.WriteImage(session, outPath, err))
        return written;
    return status;
}
