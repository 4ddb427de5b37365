// A quality check's set-up, read the same way by the window and kavo-tool:
// the rules file and the reference curve it names, measured as the drivers
// will be, or the mean of a set of drivers for `reference = mean`.
#pragma once

#include <QString>
#include <vector>

#include "analysis/QcCheck.h"
#include "data/DataSets.h"

namespace kavo {

// A rules file is a few lines; anything larger is not one.
constexpr qint64 MaxRulesBytes = 1 << 20;

struct QcSetup {
  QcRules rules;
  QString referencePath;  // the file read, empty for the mean
  QcMeasurement reference;
  QcAnalysis Analysis() const { return {rules.re, rules.Families()}; }
};

// The rules at `path` and, unless they take the mean, the reference they
// name (a relative name from `folder`), checked to hold points in the
// range. False with the error: a rules file that cannot be read or is too
// large, a line at fault, a reference that cannot be read (its line and
// name, a table reader's words in `error.detail`).
bool LoadQcSetup(const QString& path, const QString& folder, QcSetup& setup, QcRuleError& error);

// `reference = mean`: the mean of `set` becomes the reference. False for an
// empty set or a mean with no point in the range.
bool UseMeanReference(const std::vector<const QcMeasurement*>& set, QcSetup& setup, QcRuleError& error);

}  // namespace kavo
