// A tolerance band on the plotter's axes: the area between its lower and
// upper edge shaded in the reference's colour, the reference over it, for R
// and, where the rules limit it, for θ. The window's graph and kavo-tool
// qc's picture draw it alike.
#pragma once

#include <QColor>
#include <vector>

#include "graph/GraphAxes.h"

class QPainter;

namespace kavo {

// One channel's band: f ascending [Hz]; lo, hi, ref its edges and the
// reference (R in Ω or θ in degrees). Fewer than two points draw nothing.
struct ToleranceEdges {
  const std::vector<double>& f;
  const std::vector<double>& lo;
  const std::vector<double>& hi;
  const std::vector<double>& ref;
};
// The R band in `rColour`, the θ band in `thetaColour` unless the mapping is rOnly.
void PaintToleranceBand(QPainter& p, const GraphMapping& m, const ToleranceEdges& r, const ToleranceEdges& theta,
                        const QColor& rColour, const QColor& thetaColour, int refWidth);
// The shade's colour for a reference drawn in `colour`.
QColor ToleranceShade(const QColor& colour);

}  // namespace kavo
