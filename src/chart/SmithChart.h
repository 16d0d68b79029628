// The Smith chart: reflection coefficients on the unit circle with circles of constant
// resistance and arcs of constant reactance (an admittance grid as an option).
#pragma once

#include "chart/ComplexChart.h"

class CSmithChart : public CComplexChart {
public:
    using CComplexChart::CComplexChart;

protected:
    double PlaneRadius() const override { return 1.0; }
    void DrawGrid(CDC& dc) override;

private:
    // Curves of constant resistance and reactance; mirrored for the admittance grid.
    void DrawImpedanceGrid(CDC& dc, double sign, COLORREF color, bool labels);
};
