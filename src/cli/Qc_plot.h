// kavo-tool qc --plot: the reference, its tolerance band shaded and every
// failing curve, drawn by the window's plotter (its grid, scale labels and
// pens), with a legend of the file names.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <vector>

#include "analysis/QcCheck.h"

namespace kavo::cli {

// A PNG or PDF picture (by the target's suffix; PNG for "-") of 800 × 600.
// False with `reason` when it cannot be drawn; a write failure leaves
// `reason` empty.
bool WriteQcPicture(const QString& target, const QcRules& rules, const QcMeasurement& reference,
                    const std::vector<const QcMeasurement*>& failing, const std::vector<QString>& names,
                    std::ostream& out, QString& reason);

}  // namespace kavo::cli
