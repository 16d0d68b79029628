// What several benchmarks need: large generated Touchstone files and a main that brings
// up Qt without a display.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

// Writes an N-port file of the given number of records in Hz, at most 4 pairs a line and
// each matrix row on new lines, as network analysers and HFSS write them; variant n makes
// files differ a little.
inline void WriteNPortFile(const std::string& path, int ports, int records, int n)
{
    std::ofstream out(path);
    out << "! generated\n# Hz S RI R 50\n";
    char buf[64];
    for (int i = 0; i < records; ++i) {
        out << 1e7 + i * 1e6;
        for (int r = 0; r < ports; ++r) {
            for (int c = 0; c < ports; ++c) {
                const double a = -0.01 * (r + c + n) * i;
                const double m = 0.5 / (1 + r + c) / n;
                std::snprintf(buf, sizeof buf, " %.6e %.6e", std::cos(a) * m, std::sin(a) * m);
                out << buf;
                if (c % 4 == 3 && c + 1 < ports)
                    out << '\n';
            }
            out << '\n';
        }
    }
}

inline void WriteFourPortFile(const std::string& path, int records, int n)
{
    WriteNPortFile(path, 4, records, n);
}

// main() of a benchmark that draws with Qt, widgets included: offscreen unless a platform
// is chosen.
inline int RunQtBenchmarks(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
