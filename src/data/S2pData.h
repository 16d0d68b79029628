// The contents of one Touchstone file: records of 2-, 3- or 4-port network
// parameters at ascending frequencies, and the settings of its option line.
#pragma once

#include "data/Complex.h"
#include "data/LineFile.h"

#include <string>
#include <vector>

class CChartTrace;

// Limits on the number of frequency records of a file.
constexpr std::size_t MIN_RECORDS = 3;
constexpr std::size_t MAX_RECORDS = 16001;

class CS2pData {
public:
    enum FreqUnit { HZ = 0, KHZ = 1, MHZ = 2, GHZ = 3 };
    enum ParamKind { S = 0, Y = 1, Z = 2, G = 3, H = 4 };
    enum PortKind { TWO_PORT = 0, THREE_PORT = 1, FOUR_PORT = 2 };

    // One frequency of a 2-port file, elements in row order S11, S12, S21, S22.
    struct DataLine {
        static constexpr int PORTS = 2;
        double freq = 0.0;  // in the data set's freqUnit
        CComplex s[4];
    };
    // One frequency of a 3-port file, row-major 3 x 3.
    struct DataLineS3P {
        static constexpr int PORTS = 3;
        double freq = 0.0;
        CComplex s[9];
    };
    // One frequency of a 4-port file, row-major 4 x 4.
    struct DataLineS4P {
        static constexpr int PORTS = 4;
        double freq = 0.0;
        CComplex s[16];
    };

    CS2pData() = default;
    virtual ~CS2pData() = default;
    CS2pData(const CS2pData&) = default;
    CS2pData& operator=(const CS2pData&) = default;

    // Reads a Touchstone file; 0 on success, else 101 or 102. Shows its own messages.
    int Load(const std::string& path);
    int ReadS2p(const LineList& lines);
    int ReadS3p(const LineList& lines);
    int ReadS4p(const LineList& lines);
    // Applies the keywords of an option line; format is the read's data format.
    void ParseOptionLine(const std::string& line, int& format);

    void ConvertFreqUnit(FreqUnit target);
    // Hz and kHz data become MHz, so the chart only ever sees MHz or GHz.
    void NormalizeFreqUnit();
    static std::string ParamLetter(int kind);
    // Hertz per unit: 1, 1e3, 1e6, or 1e9 for GHZ and any other value.
    static double UnitFactor(int unit);
    std::size_t RecordCount() const;
    int PortCount() const { return portKind == FOUR_PORT ? 4 : portKind == THREE_PORT ? 3 : 2; }

    // The element (row, col), 1-based, of record i of the list in use.
    CComplex Element(std::size_t record, int row, int col) const;
    double FreqAt(std::size_t record) const;

    std::string GetFileName() const { return fileName; }
    std::string GetDisplayName() const { return displayName; }
    std::string GetFreqUnitLabel() const;
    void SetFileName(const std::string& path) { fileName = path; }
    void SetDisplayName(const std::string& name) { displayName = name; }
    void SetLoaded(bool flag) { loaded = flag; }

    // Derives one chart trace; false when value is not available for the port count.
    bool BuildTrace(CChartTrace& trace, int fileNumber, int value, int valueFormat) const;
    // The record's parameters (normalised to the reference impedance) as S-parameters.
    // 3- and 4-port Z and Y are converted; other kinds of those stay as they are.
    static DataLine ConvertToS(DataLine record, int kind);
    static DataLineS3P ConvertToS(DataLineS3P record, int kind);
    static DataLineS4P ConvertToS(DataLineS4P record, int kind);

    std::vector<std::string> headerComments;
    std::vector<DataLine> lines2;
    std::vector<DataLineS3P> lines3;
    std::vector<DataLineS4P> lines4;
    PortKind portKind = TWO_PORT;
    FreqUnit freqUnit = GHZ;
    ParamKind paramKind = S;
    double refImpedance = 50.0;  // ohms
    std::string fileName;
    std::string displayName;
    bool loaded = false;

private:
    // Element (row, col) of record i converted to S.
    CComplex SElement(std::size_t record, int row, int col) const;
    template <typename Record>
    int ReadRecords(const LineList& lines, std::vector<Record>& records, PortKind kind);
};

// "Hz", "KHz", "MHz" or "GHz" (any other value).
std::string FreqUnitLabel(int unit);
