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

// Writes a 4-port file of the given number of records in Hz, 4 pairs a line and 4 lines a
// record, as network analysers write them; variant n makes files differ a little.
inline void WriteFourPortFile(const std::string& path, int records, int n)
{
    std::ofstream out(path);
    out << "! generated\n# Hz S RI R 50\n";
    char buf[64];
    for (int i = 0; i < records; ++i) {
        out << 1e7 + i * 1e6;
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                const double a = -0.01 * (r + c + n) * i;
                const double m = 0.5 / (1 + r + c) / n;
                std::snprintf(buf, sizeof buf, " %.6e %.6e", std::cos(a) * m, std::sin(a) * m);
                out << buf;
            }
            out << '\n';
        }
    }
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
