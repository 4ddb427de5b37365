// A tolerance band on the plotter's axes: the area between its lower and
// upper R shaded in the reference's colour, the reference over it. The
// window's graph and kavo-tool qc's picture draw it alike.
#pragma once

#include <QColor>
#include <vector>

#include "graph/GraphAxes.h"

class QPainter;

namespace kavo {

// f ascending [Hz]; lo, hi, ref the band's edges and the reference's R [Ω].
void PaintToleranceBand(QPainter& p, const FreqAxis& axis, float rMax, int width, int height,
                        const std::vector<double>& f, const std::vector<double>& lo, const std::vector<double>& hi,
                        const std::vector<double>& ref, const QColor& colour, int refWidth);
// The shade's colour for a reference drawn in `colour`.
QColor ToleranceShade(const QColor& colour);

}  // namespace kavo
