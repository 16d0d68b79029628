// --quality [--mixed] [--pairing 13|12] FILE...: the quality metrics of each file as CSV.
#include "app/cli/CommandLine.h"

#include <ostream>
#include <string>
#include <vector>
#include "app/cli/CollectingSink.h"
#include "app/cli/CsvText.h"
#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "rf/QualityMetrics.h"

namespace {

namespace QM = QualityMetrics;

// One row of the table; false (reported) when the block gives no finite metrics.
bool WriteRow(const CS2pData& data, const std::string& path, const std::string& suffix,
              QM::Block block, PortPairing pairing, std::ostream& out, std::ostream& err)
{
    QM::Result r;
    const QM::Outcome outcome = QM::Compute(data, block, pairing, r);
    const std::string name = path + suffix;
    if (outcome != QM::Outcome::OK) {
        err << "torvex: " << EscapeName(name) << ": "
            << (outcome == QM::Outcome::OUT_OF_RANGE ? "values too large to judge"
                                                     : "no finite S matrix to judge")
            << '\n';
        return false;
    }
    if (r.skipped > 0)
        err << "torvex: " << EscapeName(name) << ": " << r.skipped << " of "
            << r.skipped + r.records
            << " records left out of the metrics: their S matrix is not finite\n";
    out << CsvField(name) << ',' << CsvNumber(r.causality) << ',' << CsvNumber(r.passivity) << ','
        << CsvNumberIf(r.hasReciprocity, r.reciprocity) << ','
        << QM::Rating(QM::Metric::CAUSALITY, r.causality) << ','
        << QM::Rating(QM::Metric::PASSIVITY, r.passivity) << ','
        << (r.hasReciprocity ? QM::Rating(QM::Metric::RECIPROCITY, r.reciprocity) : "") << '\n';
    return true;
}

}  // namespace

int CCommandLine::Quality(const std::vector<std::string>& args)
{
    bool mixed = false;
    PortPairing pairing = PortPairing::ACROSS;
    std::vector<std::string> files;
    bool filesOnly = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        if (filesOnly || word.size() < 2 || word[0] != '-') {
            files.push_back(word);
        } else if (word == "--") {
            filesOnly = true;
        } else if (word == "--mixed") {
            mixed = true;
        } else if (word == "--pairing" || word.rfind("--pairing=", 0) == 0) {
            const bool joined = word != "--pairing";
            if (!joined && i + 1 == args.size()) {
                err << "torvex: --pairing needs 13 or 12\n";
                return 2;
            }
            const std::string value = joined ? word.substr(10) : args[++i];
            if (!ParsePairing(value, pairing)) {
                err << "torvex: bad --pairing '" << EscapeName(value) << "': use 13 or 12\n";
                return 2;
            }
        } else {
            err << "torvex: unknown option '" << EscapeName(word)
                << "' for --quality (try --help)\n";
            return 2;
        }
    }
    if (files.empty()) {
        err << "torvex: --quality needs at least one FILE\n";
        return 2;
    }

    out << "file,causality,passivity,reciprocity,causality_rating,passivity_rating,"
           "reciprocity_rating\n";
    int status = 0;
    for (const std::string& path : files) {
        CCollectingSink sink(err);
        CS2pData data;
        if (LoadAsSlot(data, path, sink) != 0) {
            status = 1;
            continue;
        }
        if (!WriteRow(data, path, "", QM::Block::SINGLE_ENDED, pairing, out, err))
            status = 1;
        if (!mixed)
            continue;
        bool any = false;
        for (const auto& [block, suffix] :
             {std::pair(QM::Block::DIFFERENTIAL, ":dd"), std::pair(QM::Block::COMMON, ":cc")}) {
            if (!QM::HasBlock(data, block))
                continue;
            any = true;
            if (!WriteRow(data, path, suffix, block, pairing, out, err))
                status = 1;
        }
        if (!any)
            err << "torvex: " << EscapeName(path)
                << ": no mixed-mode parameters (a single-ended file of 4, 6, 8, ... ports or a "
                   "mixed-mode file has them)\n";
    }
    return status;
}
