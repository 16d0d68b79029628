// --export OUT: the chart's traces as CSV, or the chart as an image.
#include "app/cli/CommandLine.h"

#include "app/ChartExport.h"
#include "app/cli/BatchOptions.h"
#include "app/cli/ChartOptions.h"
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvTables.h"
#include "app/dialogs/DialogUnits.h"
#include "app/TorvexApp.h"
#include "app/TorvexSession.h"
#include "platform/AsciiText.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

namespace {

enum class ExportKind { Unknown, Csv, Image };

ExportKind KindOf(const std::string& path)
{
    const std::string ext = AsciiLower(std::filesystem::path(path).extension().string());
    if (ext == ".csv")
        return ExportKind::Csv;
    if (ext == ".png" || ext == ".svg" || ext == ".pdf")
        return ExportKind::Image;
    return ExportKind::Unknown;
}

// Fonts and the chart's default size need a QApplication; an export must run without a
// display, so the offscreen platform is chosen unless the caller chose one.
std::unique_ptr<QApplication> EnsureApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "torvex";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

// An envelope is a band of values at each frequency: a Smith or polar item has a point of
// the plane there and a time item no frequency at all.
bool EnvelopeFits(const CChartOptions& opts, std::ostream& err)
{
    if (opts.files.empty()) {
        err << "torvex: --envelope needs at least one FILE\n";
        return false;
    }
    for (const ValueFormatPair& item : opts.selection) {
        if (ValueFormat::IsComplex(item.valueFormat) || ValueFormat::IsTime(item.valueFormat)) {
            err << "torvex: --envelope takes values over frequency, not "
                << CCommandLine::ViewItemName(item)
                << ": use db, phase, delay, lin, re, im, vswr, r, x or z\n";
            return false;
        }
    }
    return true;
}

}  // namespace

int CCommandLine::Export(const std::vector<std::string>& argList)
{
    std::vector<std::string> args = argList;
    CBatchOptions batch;
    if (!batch.Take(args, err) || !batch.FitMode("--export", err))
        return 2;
    if (args.empty() || args[0].empty() || args[0][0] == '-') {
        err << "torvex: --export needs an output file (.csv, .png, .svg or .pdf)\n";
        return 2;
    }
    const std::string& outPath = args[0];
    const ExportKind kind = KindOf(outPath);
    if (kind == ExportKind::Unknown) {
        err << "torvex: cannot tell the format of '" << EscapeName(outPath)
            << "': use .csv, .png, .svg or .pdf\n";
        return 2;
    }

    CChartOptions opts;
    opts.anyFileCount = batch.envelope;
    if (!opts.Parse(args, 1, err) || (batch.envelope && !EnvelopeFits(opts, err)))
        return 2;
    if (kind == ExportKind::Csv && opts.files.empty()) {
        err << "torvex: a CSV export needs at least one FILE\n";
        return 2;
    }
    if (kind == ExportKind::Csv && (opts.haveSize || opts.haveMarkers)) {
        err << "torvex: --size and --markers apply to image exports only\n";
        return 2;
    }

    const std::unique_ptr<QApplication> app =
        kind == ExportKind::Image ? EnsureApplication() : nullptr;
    if (batch.envelope)
        return ExportEnvelope(outPath, kind == ExportKind::Image, opts, batch);
    CCollectingSink sink(err);
    CTorvexSession session;
    if (opts.files.empty()) {
        session.Start();
    } else if (const int status = opts.Load(session, err)) {
        return status;
    }

    if (kind == ExportKind::Csv) {
        std::ofstream csv(outPath, std::ios::binary | std::ios::trunc);
        if (csv)
            WriteCsv(session.Graph(), session.XColumn(), csv);
        csv.close();
        if (!csv) {
            err << "torvex: cannot write '" << EscapeName(outPath) << "'\n";
            return 1;
        }
        return 0;
    }

    return opts.WriteImage(session, outPath, err);
}
