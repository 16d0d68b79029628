// The polar chart: magnitude and angle of any element on rings of linear magnitude and
// spokes every 30 degrees; the outer ring fits the largest magnitude shown.
#pragma once

#include "chart/ComplexChart.h"

class CPolarChart : public CComplexChart {
public:
    using CComplexChart::CComplexChart;

    // The magnitude of the outer ring for the largest magnitude of the traces: 1 for
    // reflections, a step of 1, 2 or 5 times a power of ten above the largest otherwise.
    static double OuterRing(double largest);

protected:
    double PlaneRadius() const override;
    void DrawGrid(CDC& dc) override;
};
