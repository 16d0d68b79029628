// Reading Touchstone files: the choice of version and port count, and what both versions
// share (members of CS2pData; the versions are read in TouchstoneVersion1.cpp and
// TouchstoneVersion2.cpp).
#include "data/S2pData.h"

#include "data/TouchstoneText.h"
#include "platform/AsciiText.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <new>
#include <stdexcept>

using namespace TouchstoneText;

namespace {

// What the first lines of a text say: whether it has two lines, and whether its first
// line that is neither a comment nor an option line is a keyword (version 2).
struct Sniffed {
    int lines = 0;  // counted up to 2
    enum { UNKNOWN, DATA_FIRST, KEYWORD_FIRST } kind = UNKNOWN;
};

Sniffed Sniff(CLineCursor& cursor)
{
    Sniffed s;
    std::string_view line;
    while ((s.lines < 2 || s.kind == Sniffed::UNKNOWN) && cursor.Next(line)) {
        s.lines = std::min(s.lines + 1, 2);
        if (s.kind == Sniffed::UNKNOWN && line[0] != '!' && line[0] != '#')
            s.kind = line[0] == '[' ? Sniffed::KEYWORD_FIRST : Sniffed::DATA_FIRST;
    }
    return s;
}

}  // namespace

int CS2pData::PortsFromName(const std::string& path)
{
    // Only the name's own ending counts: folders and earlier endings ("a.s4p.bak.s2p")
    // say nothing about this file.
    const std::string lower = AsciiLower(path.substr(path.find_last_of('/') + 1));
    if (lower.size() < 4 || lower.back() != 'p')
        return 0;
    std::size_t digits = lower.size() - 1;
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(lower[digits - 1])))
        --digits;
    const std::size_t count = lower.size() - 1 - digits;
    if (count == 0 || digits < 2 || lower.compare(digits - 2, 2, ".s") != 0)
        return 0;
    if (count > 2)
        return -1;
    const int n = std::stoi(lower.substr(digits, count));
    return n >= 1 && n <= MAX_PORTS ? n : -1;
}

int CS2pData::Load(const std::string& path)
{
    const CProgressScope progress(path);
    fileName = path;
    loaded = false;
    const int named = PortsFromName(path);
    if (named < 0) {
        ShowMessageBox("The file name's .sNp gives no port count of 1 to 99: " + EscapeName(path));
        return FILE_READ_ERROR;
    }
    try {
        const int result = LoadFile(path, named);
        loaded = result == FILE_OK;
        return result;
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    // Whatever was read goes, so that the memory is there for the message.
    ResetRecords(ports);
    std::string().swap(headerComments);
    ShowMessageBox("Not enough memory to read file: " + EscapeName(path));
    return FILE_READ_ERROR;
}

int CS2pData::LoadFile(const std::string& path, int named)
{
    // The file is read line by line as it comes in and never held whole.
    CLineCursor stream;
    std::string_view head;
    if (const int rc = stream.Open(path, head))
        return rc;
    CLineCursor headLines(head);
    Sniffed sniffed = Sniff(headLines);
    if (sniffed.lines < 2 || sniffed.kind == Sniffed::UNKNOWN) {
        // The first piece does not tell (a long header, or a long first line): look
        // through the file as far as it takes.
        CLineCursor scan;
        if (const int rc = scan.Open(path, head))
            return rc;
        sniffed = Sniff(scan);
        if (scan.AtEnd()) {
            if (const int rc = scan.Finish())
                return rc;
        }
    }
    if (sniffed.lines < 2) {
        ShowMessageBox("File contains too few lines.");
        return FILE_CANNOT_OPEN;
    }
    if (sniffed.kind == Sniffed::KEYWORD_FIRST)
        return ReadVersion2(stream);
    return ReadVersion1(stream, named > 0 ? named : 2);
}

namespace {

std::string Joined(const LineList& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text.append(line).push_back('\n');
    return text;
}

}  // namespace

int CS2pData::ReadS2p(const LineList& lines)
{
    return Read(Joined(lines), 2);
}

int CS2pData::ReadS3p(const LineList& lines)
{
    return Read(Joined(lines), 3);
}

int CS2pData::ReadS4p(const LineList& lines)
{
    return Read(Joined(lines), 4);
}

int CS2pData::Read(std::string_view text, int portCount)
{
    try {
        // A keyword before the first data line makes a version 2 file, whatever its name.
        CLineCursor sniff(text);
        CLineCursor lines(text);
        if (Sniff(sniff).kind == Sniffed::KEYWORD_FIRST)
            return ReadVersion2(lines);
        return ReadVersion1(lines, portCount >= 1 && portCount <= MAX_PORTS ? portCount : 2);
    } catch (const std::bad_alloc&) {
    } catch (const std::length_error&) {
    }
    ResetRecords(ports);
    std::string().swap(headerComments);
    ShowMessageBox("Not enough memory to read file: " + fileName);
    return FILE_READ_ERROR;
}

void CS2pData::StartRead(int portCount)
{
    headerComments.clear();
    ResetRecords(portCount);
    // A file without an option line reads with the Touchstone defaults, whatever
    // an earlier file of this data set said.
    freqUnit = GHZ;
    paramKind = S;
    refImpedance = 50.0;
    refImpedances.clear();
    portModes.clear();
    version = 1;
    fileFormat = RI;
    fileFreqUnit = -1;
}

void CS2pData::AddHeaderComment(std::string_view line, std::size_t fileSize)
{
    // A header of many lines gets room for the whole file at once, rather than a text
    // that doubles as it grows and for a moment needs the room twice.
    constexpr std::size_t SMALL = std::size_t(64) << 10;
    const std::size_t needed = headerComments.size() + line.size() + 1;
    if (needed > headerComments.capacity() && needed > SMALL)
        headerComments.reserve(std::max(needed, fileSize));
    headerComments.append(line).push_back('\n');
}

void CS2pData::FitHeaderComments()
{
    if (headerComments.capacity() > 2 * headerComments.size() + (std::size_t(64) << 10))
        headerComments.shrink_to_fit();
}

bool CS2pData::ParseOptionLine(std::string_view line, int& format, std::string& why)
{
    bool pendingR = false;
    // A remark after "!" names no option, and the first word may touch the "#".
    std::string_view words = WithoutComment(line);
    if (!words.empty() && words[0] == '#')
        words.remove_prefix(1);
    CTokenizer tokens = CTokenizer::Words(words);
    while (!tokens.Empty()) {
        const std::string_view word = tokens.NextToken();
        const std::string token = AsciiLower(word);
        if (token == "hz")
            freqUnit = HZ;
        else if (token == "khz")
            freqUnit = KHZ;
        else if (token == "mhz")
            freqUnit = MHZ;
        else if (token == "ghz")
            freqUnit = GHZ;
        else if (token == "s")
            paramKind = S;
        else if (token == "y")
            paramKind = Y;
        else if (token == "z")
            paramKind = Z;
        else if (token == "g")
            paramKind = G;
        else if (token == "h")
            paramKind = H;
        else if (token == "ma")
            format = MA;
        else if (token == "ri")
            format = RI;
        else if (token == "db")
            format = DB;
        else if (token == "r")
            pendingR = true;
        else if (pendingR) {
            double r = 0.0;
            if (!ParseDouble(word, r) || !(r > 0)) {
                why = "the reference impedance \"" + EscapeInput(word)
                    + "\" is not a positive number";
                return false;
            }
            refImpedance = r;
            pendingR = false;
        }
    }
    if (pendingR) {
        why = "R is followed by no reference impedance";
        return false;
    }
    return true;
}
