#include "app/cli/NetworkOptions.h"

#include "data/S2pData.h"
#include "platform/AsciiText.h"
#include "platform/NumberParse.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>

namespace {

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(Trim(text.substr(start, at - start)));
        if (at == std::string::npos)
            return parts;
        start = at + 1;
    }
}

// A port number is written as one: digits only, not "2.0" or "1e0".
bool WholeNumber(const std::string& text, int& value)
{
    double number = 0.0;
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string::npos
        || !ParseDouble(text, number) || number < 1 || number > 1000)
        return false;
    value = static_cast<int>(number);
    return true;
}

std::string BaseName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

std::string OhmsText(double z)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", z);
    return text;
}

// What an operation is called in the window, which has no options to name.
std::string WindowName(const std::string& name)
{
    if (name == "deembed")
        return "De-embedding";
    if (name == "cascade")
        return "Cascading";
    if (name == "terminate")
        return "Terminating ports";
    if (name == "reorder")
        return "Reordering ports";
    return "Reference impedances";
}

std::string Prefix(const std::string& name, CNetworkOptions::Wording wording)
{
    return wording == CNetworkOptions::Wording::WINDOW ? WindowName(name) : "--" + name;
}

// An operation's result that overflowed or lost all meaning is the operation's fault, not the
// file's: it is refused here rather than by whatever shows it later.
bool FiniteResult(const CS2pData& data, std::string& why)
{
    const std::size_t cells = static_cast<std::size_t>(data.PortCount() * data.PortCount());
    for (std::size_t i = 0; i < data.RecordCount(); ++i) {
        const CComplex* m = data.Matrix(i);
        for (std::size_t c = 0; c < cells; ++c) {
            if (std::isfinite(m[c].re) && std::isfinite(m[c].im))
                continue;
            char text[48];
            std::snprintf(text, sizeof text, "%.9g", data.FreqAt(i));
            why = "the result at " + std::string(text) + " " + data.GetFreqUnitLabel()
                + " is not a finite number";
            return false;
        }
    }
    return true;
}

}  // namespace

bool CNetworkOptions::IsOperation(const std::string& name)
{
    return name == "renormalize" || name == "cascade" || name == "deembed" || name == "terminate"
        || name == "reorder";
}

bool CNetworkOptions::Take(const std::string& name, const std::string& value, std::ostream& err,
                           Wording wording)
{
    Step step;
    step.name = name;
    const auto bad = [&](const char* forms) {
        if (wording == Wording::WINDOW)
            err << "torvex: " << WindowName(name) << ": '" << EscapeName(value)
                << "' is not understood; " << forms << '\n';
        else
            err << "torvex: bad --" << name << " '" << EscapeName(value) << "': " << forms << '\n';
        return false;
    };
    if (name == "renormalize") {
        for (const std::string& part : Split(value, ',')) {
            double z = 0.0;
            if (!ParseDouble(part, z) || !(z > 0.0))
                return bad("use Z or Z1,Z2,... in ohms, each above 0");
            if (!NetworkOps::UsableReference(z)) {
                err << "torvex: bad --" << name << " '" << EscapeName(value) << "': " << part
                    << " ohm is outside " << OhmsText(NetworkOps::MIN_REFERENCE) << " to "
                    << OhmsText(NetworkOps::MAX_REFERENCE) << " ohm\n";
                return false;
            }
            step.values.push_back(z);
        }
        std::string list;
        for (double z : step.values)
            list += (list.empty() ? "" : ",") + OhmsText(z);
        step.description = "renormalised to " + list + " ohm";
    } else if (name == "cascade") {
        if (Trim(value).empty())
            return bad("name the 2-port file to connect after port 2");
        step.files = {value};
        step.description = "cascaded with " + BaseName(value);
    } else if (name == "deembed") {
        // LEFT, LEFT,RIGHT or ,RIGHT: the fixture of port 1, of both ports, of port 2.
        step.files = Split(value, ',');
        if (step.files.size() > 2 || (step.files.size() == 1 && step.files[0].empty())
            || (step.files.size() == 2 && step.files[1].empty()))
            return bad(
                "use LEFT, LEFT,RIGHT or ,RIGHT: the 2-port fixture files of port 1 and "
                "port 2");
        const char* sides[] = {" (left)", " (right)"};
        for (std::size_t k = 0; k < step.files.size(); ++k)
            if (!step.files[k].empty())
                step.description += (step.description.empty() ? "de-embedded " : ", ")
                    + BaseName(step.files[k]) + sides[k];
    } else if (name == "terminate") {
        for (const std::string& part : Split(value, ',')) {
            const std::size_t equals = part.find('=');
            NetworkOps::Load load;
            const std::string what = equals == std::string::npos
                ? std::string()
                : AsciiLower(Trim(part.substr(equals + 1)));
            if (equals == std::string::npos || !WholeNumber(part.substr(0, equals), load.port))
                return bad("use P=Z[,Q=Z...]: a port and a load in ohms, open or short");
            if (what == "open")
                load.kind = NetworkOps::Load::Kind::OPEN;
            else if (what == "short")
                load.kind = NetworkOps::Load::Kind::SHORT;
            else if (!ParseDouble(what, load.ohms) || load.ohms < 0.0)
                return bad("use P=Z[,Q=Z...]: a port and a load in ohms, open or short");
            step.loads.push_back(load);
        }
        step.description = "terminated " + value;
    } else if (name == "reorder") {
        for (const std::string& part : Split(value, ',')) {
            int port = 0;
            if (!WholeNumber(part, port))
                return bad("use p1,p2,...: every port once, in its new order");
            step.order.push_back(port);
        }
        step.description = "ports reordered " + value;
    } else {
        return false;
    }
    steps.push_back(step);
    return true;
}

const CS2pData* CNetworkOptions::File(const std::string& path, std::string& why) const
{
    auto& slot = files[path];
    if (!slot) {
        auto data = std::make_shared<CS2pData>();
        if (data->Load(path) != 0) {
            why = "cannot read '" + EscapeName(path) + "'";
            files.erase(path);
            return nullptr;
        }
        data->NormalizeFreqUnit();
        slot = data;
    }
    return slot.get();
}

bool CNetworkOptions::Apply(CS2pData& data, std::string& why, bool& unreadable,
                            Wording wording) const
{
    unreadable = false;
    CS2pData work = data;
    for (const Step& step : steps) {
        std::vector<const CS2pData*> named;  // null for a side without a fixture
        for (const std::string& path : step.files) {
            const CS2pData* file = path.empty() ? nullptr : File(path, why);
            if (!file && !path.empty()) {
                unreadable = true;
                return false;
            }
            named.push_back(file);
        }
        bool done = false;
        if (step.name == "renormalize")
            done = NetworkOps::Renormalize(work, step.values, why);
        else if (step.name == "cascade")
            done = NetworkOps::Cascade(work, *named[0], why);
        else if (step.name == "deembed")
            done = NetworkOps::Deembed(work, named[0], named.size() > 1 ? named[1] : nullptr, why);
        else if (step.name == "terminate")
            done = NetworkOps::Terminate(work, step.loads, why);
        else
            done = NetworkOps::Reorder(work, step.order, why);
        if (done)
            done = FiniteResult(work, why);
        if (!done) {
            why = Prefix(step.name, wording) + ": " + why;
            return false;
        }
    }
    data = std::move(work);
    return true;
}

void CNetworkOptions::Append(const CNetworkOptions& other)
{
    steps.insert(steps.end(), other.steps.begin(), other.steps.end());
}

std::vector<std::string> CNetworkOptions::Descriptions() const
{
    std::vector<std::string> texts;
    for (const Step& step : steps)
        texts.push_back(step.description);
    return texts;
}
