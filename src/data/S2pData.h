// The contents of one Touchstone file: the N x N network-parameter matrix of every
// frequency, in ascending order of frequency, and the settings of its option line and
// (version 2 files) its keywords.
#pragma once

#include "data/Complex.h"
#include "data/LineFile.h"
#include "data/MixedMode.h"
#include "platform/LargeBlock.h"

#include <string>
#include <string_view>
#include <vector>

class CChartTrace;

// Limits on the number of frequency records of a file: the most are what simulators write,
// well past the 100001 points of the largest analyser sweeps.
constexpr std::size_t MIN_RECORDS = 3;
constexpr std::size_t MAX_RECORDS = 1000001;
// What the readers say when a file holds more records than MAX_RECORDS; they keep the first.
std::string TooManyRecordsMessage();
// Port numbers are at most two digits, in file names and in element names alike.
constexpr int MAX_PORTS = 99;

// Value codes: what BuildTrace plots. Every code names one quantity whatever the file,
// so a view selection stays meaningful when other files are loaded.
//   0..15      S(i,j) for i, j <= 4: (i - 1) * 4 + (j - 1)
//   16, 17     insertion loss (element 2,1) and return loss (1,1), in dB, sign reversed
//   18..21     the file's own parameters 21, 12, 11, 22, never converted to S
//   10000 + 100 i + j               S(i,j) of a larger matrix (i or j above 4)
//   22, 23     quality of the whole matrix per frequency: its largest singular value
//              ("S:sigma") and its reciprocity measure ("S:recip"); the rf layer builds them
//   100000 + 10000 m + 100 i + j    a mixed-mode element between logical ports i and j,
//                                   m = 3 * (mode of i) + (mode of j), modes d 0, c 1, s 2
// A code of one range never stands for an element of another, so S12 is always 1.
namespace ValueCode {
constexpr int INSERTION_LOSS = 16;
constexpr int RETURN_LOSS = 17;
constexpr int LAST_DERIVED = 21;
constexpr int SIGMA = 22;        // shown as linear values only
constexpr int RECIPROCITY = 23;  // files of two ports or more
constexpr int LARGE_BASE = 10000;
constexpr int MIXED_BASE = 100000;

// The code of S(row, col) of a single-ended matrix; -1 outside 1..MAX_PORTS.
int Element(int row, int col);
// The code of a mixed-mode element; modes are 'd', 'c' or 's'; -1 when invalid.
int MixedMode(char rowMode, int row, char colMode, int col);
// True for the codes of matrix elements (not 16..21), of any range.
bool IsElement(int code);
// "S11", "S10_2" (an underscore where a port number has two digits), "Sdd21", "Scs1_12";
// empty for codes that name no element.
std::string Name(int code);
// The code a name spells (Name's spellings, in any letter case, and S1_2 for S12); -1
// for anything else. "S102" is refused: which ports it means is not clear.
int Parse(std::string_view name);
// S:sigma and S:recip, the quality of the whole matrix.
bool IsQuality(int code);
// True for the reflections: S(i,i), and mixed-mode elements of one mode at one logical
// port (Sdd11, Scc22, Sss33), whose reference impedance gives an impedance.
bool IsReflection(int code);
}  // namespace ValueCode

// Display formats: how BuildTrace turns an element into a trace.
namespace ValueFormat {
constexpr int DB = 0;          // 20 log10 |S|
constexpr int PHASE = 1;       // degrees, -180..180
constexpr int DELAY = 2;       // group delay in ns
constexpr int LIN_MAG = 3;     // |S|
constexpr int REAL = 4;        // Re S
constexpr int IMAG = 5;        // Im S
constexpr int VSWR = 6;        // (1 + |S|) / (1 - |S|), infinite from |S| = 1 on
constexpr int RESISTANCE = 7;  // R of Z = Z0 (1 + S) / (1 - S), ohms; reflections only
constexpr int REACTANCE = 8;   // X of that Z, ohms; reflections only
constexpr int IMPEDANCE = 9;   // |Z|, ohms; reflections only
constexpr int SMITH = 10;      // complex trace for the Smith chart; reflections only
constexpr int POLAR = 11;      // complex trace for the polar chart
// The time-domain formats: transforms of the element over its frequencies, plotted against
// time (or distance); the rf layer builds them, BuildTrace does not.
constexpr int IMPULSE = 12;   // low-pass impulse response
constexpr int STEP = 13;      // low-pass step response
constexpr int BANDPASS = 14;  // band-pass impulse response, magnitude
constexpr int TDR = 15;       // impedance profile of a reflection, ohms
constexpr int COUNT = 16;     // codes from here on plot 0 at every point

// What follows the element in a trace name: "[dB]", "(mag)", "[VSWR]", "[R]", "[|Z|]";
// empty for the complex formats (their chart says what they are) and unknown codes.
std::string Label(int format);
// Axis title: "LogMag[dB]", "Lin Mag", "R[ohm]", "Smith", ...; empty for unknown codes.
std::string AxisTitle(int format);
// R, X, |Z| and Smith need a reflection (ValueCode::IsReflection).
bool NeedsReflection(int format);
// Smith and polar: the trace holds the element itself in CChartTrace::gamma.
bool IsComplex(int format);
// Impulse, step, band-pass and TDR: plotted against time, never beside frequency formats.
bool IsTime(int format);
}  // namespace ValueFormat

class CS2pData {
public:
    enum FreqUnit { HZ = 0, KHZ = 1, MHZ = 2, GHZ = 3 };
    enum ParamKind { S = 0, Y = 1, Z = 2, G = 3, H = 4 };
    // The port layouts of the Select Data grid: 1- and 2-port files are TWO_PORT, files
    // of four ports or more FOUR_PORT (their elements beyond port 4 need ValueCodes).
    enum PortKind { TWO_PORT = 0, THREE_PORT = 1, FOUR_PORT = 2 };

    // Fixed-size copies of a record of 2, 3 or 4 ports, elements in row order. The data
    // set keeps its records in one store of any size; these serve ConvertToS.
    struct DataLine {
        static constexpr int PORTS = 2;
        double freq = 0.0;  // in the data set's freqUnit
        CComplex s[4];
    };
    struct DataLineS3P {
        static constexpr int PORTS = 3;
        double freq = 0.0;
        CComplex s[9];
    };
    struct DataLineS4P {
        static constexpr int PORTS = 4;
        double freq = 0.0;
        CComplex s[16];
    };

    // The mode and logical port of one row (and column) of a mixed-mode matrix.
    struct PortMode {
        char mode = 's';  // 'd' differential, 'c' common, 's' single-ended
        int port = 1;     // logical port, numbered by first appearance in the order list
        // The single-ended ports the order list names: n of Sn, n and m of Dn,m and Cn,m
        // (second 0 for Sn); 0 when not known. Writing the list back needs them.
        int first = 0;
        int second = 0;
    };

    CS2pData() = default;
    virtual ~CS2pData() = default;
    CS2pData(const CS2pData&) = default;
    CS2pData& operator=(const CS2pData&) = default;
    // A data set of a million records moves, never copies, where it changes hands.
    CS2pData(CS2pData&&) = default;
    CS2pData& operator=(CS2pData&&) = default;

    // Reads a Touchstone file; 0 on success, else 101 or 102. Shows its own messages,
    // one naming the line and the word for data that do not fit; never throws.
    // The port count comes from [Number of Ports] in version 2 files, else from the
    // ".sNp" that ends the file's name; 2 without one. A name whose ".sNp" has no count
    // of 1 to 99 is refused.
    int Load(const std::string& path);
    // Reads the text of a file; ports is what the name says (0: nothing). Version 2
    // files are recognised by their keywords whatever ports says.
    int Read(std::string_view text, int ports);
    int ReadS2p(const LineList& lines);
    int ReadS3p(const LineList& lines);
    int ReadS4p(const LineList& lines);
    // The port count that the ".sNp" ending a path's last component names (any letter
    // case); 0 without such an ending, -1 when N is not 1 to 99.
    static int PortsFromName(const std::string& path);
    // Applies the keywords of an option line; format is the read's data format. False,
    // with why, for a reference impedance that is no positive number.
    bool ParseOptionLine(std::string_view line, int& format, std::string& why);

    void ConvertFreqUnit(FreqUnit target);
    // Hz and kHz data become MHz, so the chart only ever sees MHz or GHz.
    void NormalizeFreqUnit();
    static std::string ParamLetter(int kind);
    // Hertz per unit: 1, 1e3, 1e6, or 1e9 for GHZ and any other value.
    static double UnitFactor(int unit);

    // --- The record store ---
    int PortCount() const { return ports; }
    PortKind GetPortKind() const;
    std::size_t RecordCount() const { return freqs.size(); }
    double FreqAt(std::size_t record) const { return freqs[record]; }
    // The element (row, col), 1-based, of a record, as the file holds it.
    CComplex Element(std::size_t record, int row, int col) const
    {
        return elements[record * Cells() + static_cast<std::size_t>((row - 1) * ports + (col - 1))];
    }
    // The record's ports x ports elements, row-major.
    const CComplex* Matrix(std::size_t record) const { return &elements[record * Cells()]; }
    CComplex* Matrix(std::size_t record) { return &elements[record * Cells()]; }
    // Empties the store and sets the port count (1..MAX_PORTS).
    void ResetRecords(int portCount);
    // Appends a record; matrix holds ports x ports elements row-major (null: all zero).
    void AppendRecord(double freq, const CComplex* matrix = nullptr);
    // Room for this many records, so that the store does not double as it grows.
    void ReserveRecords(std::size_t records);
    // Appends a comment line to headerComments; fileSize bounds what the header can hold.
    void AddHeaderComment(std::string_view line, std::size_t fileSize);

    // --- What the viewing side asks of a loaded data set ---
    // The code of matrix position (row, col): mixed-mode codes for mixed-mode files,
    // else ValueCode::Element; -1 outside the matrix.
    int CodeAt(int row, int col) const;
    // The element codes of the file, row by row (N x N codes; a 1-port file has only S11).
    std::vector<int> ElementCodes() const;
    // Whether BuildTrace can plot the code: elements, the derived codes 16..21, and on
    // single-ended files of an even port count from 4 on the mixed-mode elements (modes d
    // and c) of their pairs (computed with the port pairing BuildTrace is given).
    bool HasCode(int code) const;
    // Matrix position of an element code in this file; false when it has none.
    bool PositionOf(int code, int& row, int& col) const;
    // "S21" or "Sdd21": the name of the element at (row, col).
    std::string ElementName(int row, int col) const { return ValueCode::Name(CodeAt(row, col)); }
    bool IsMixedMode() const { return !portModes.empty(); }

    std::string GetFileName() const { return fileName; }
    std::string GetDisplayName() const { return displayName; }
    std::string GetFreqUnitLabel() const;
    void SetFileName(const std::string& path) { fileName = path; }
    void SetDisplayName(const std::string& name) { displayName = name; }
    void SetLoaded(bool flag) { loaded = flag; }

    // Whether BuildTrace would derive a trace of the code in the format; cheap.
    bool CanBuildTrace(int value, int valueFormat) const;
    // Derives one chart trace; false when the data set has no such code (HasCode), and
    // for a format that needs a reflection (ValueFormat::NeedsReflection) of anything else.
    // Complex formats (Smith, polar) fill the trace's gamma with the element at every
    // point, its points with (freq, |S|) and its refImpedance; the others empty gamma.
    // The file's own parameters (18..21) have no complex or impedance formats. pairing
    // picks the ports of the pairs of computed mixed-mode elements.
    bool BuildTrace(CChartTrace& trace, int fileNumber, int value, int valueFormat,
                    PortPairing pairing = PortPairing::ACROSS) const;
    // The legend name BuildTrace gives that trace ("S21[dB](2)"), without deriving it.
    std::string TraceName(int fileNumber, int value, int valueFormat) const;
    // Reference impedance in ohms of the port an element code's row belongs to (the port
    // of a reflection, the output of a transmission; for a mixed-mode row the pair's sum
    // for d, parallel value for c, the pairs of a single-ended file as pairing forms
    // them); refImpedance for codes that name no element.
    double ReferenceOf(int code, PortPairing pairing = PortPairing::ACROSS) const;
    // The record's parameters (normalised to the reference impedance) as S-parameters.
    // 3- and 4-port Z and Y are converted; other kinds of those stay as they are.
    static DataLine ConvertToS(DataLine record, int kind);
    static DataLineS3P ConvertToS(DataLineS3P record, int kind);
    static DataLineS4P ConvertToS(DataLineS4P record, int kind);
    // The same for an n x n matrix in place: Z and Y of any n, H and G of 2 ports.
    static void ConvertMatrixToS(CComplex* matrix, int n, int kind);

    // The comment lines before the option line, each ended by "\n": one text, so that a
    // header of millions of lines takes no more memory than the file.
    std::string headerComments;
    FreqUnit freqUnit = GHZ;
    ParamKind paramKind = S;
    double refImpedance = 50.0;  // ohms, from the option line
    // Per port, ohms: [Reference] of version 2 files, or HFSS's "! Port Impedance"
    // comments; else every port has refImpedance. Z, Y, H and G of version 2 files are
    // stored normalised to these, as version 1 files hold them.
    std::vector<double> refImpedances;
    int version = 1;  // Touchstone version: 1, or 2 for 2.0 and 2.1 files
    // How the file wrote its numbers (RI, MA or DB) and its frequencies (a FreqUnit, kept
    // when NormalizeFreqUnit changes freqUnit): a file saved again keeps them. Data made
    // otherwise say RI and -1 (freqUnit).
    int fileFormat = RI;
    int fileFreqUnit = -1;
    // Mode of every matrix row and column of a mixed-mode file; empty otherwise.
    std::vector<PortMode> portModes;
    std::string fileName;
    std::string displayName;
    bool loaded = false;

private:
    std::size_t Cells() const
    {
        return static_cast<std::size_t>(ports) * static_cast<std::size_t>(ports);
    }
    int LoadFile(const std::string& path, int named);
    int ReadVersion1(CLineCursor& cursor, int portCount);
    int ReadVersion2(CLineCursor& cursor);
    void StartRead(int portCount);
    // Gives back the room of a header store that was reserved for more.
    void FitHeaderComments();
    // The records in ascending order of frequency.
    void SortRecords();

    template <class T>
    using Store = std::vector<T, CLargeBlockAllocator<T>>;

    int ports = 2;
    Store<double> freqs;
    Store<CComplex> elements;  // RecordCount() x ports x ports, row-major per record
};

// "Hz", "KHz", "MHz" or "GHz" (any other value).
std::string FreqUnitLabel(int unit);
