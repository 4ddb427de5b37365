// The tolerance rules of a quality check (.kqc): UTF-8 text, one
// `key = value` per line, `#` starts a comment, blank lines are ignored,
// keys are case-sensitive:
//   reference = PATH | mean    the reference curve (relative to the rules
//                              file) or the mean of the files checked
//   range = FMIN FMAX          Hz, the band of the curve comparison
//                              (default: the reference's band)
//   R = 10% | R = 0.5 ohm      allowed deviation of R at every point
//   theta = 8 deg              allowed deviation of θ (optional)
//   re = OHMS                  the voice coil's Re for the classical analysis
//   Fs = 5% | Qts = 0.35..0.45 a parameter's limit: ± percent of the
//                              reference's value, or an interval
//   part.Rdc = ..0.5           an interval open at one end
//   part.L = 2.2mH 5%          a nominal value (its unit optional) ± percent
// Parameters: every value of the families of analysis/QcParams.h that the
// check can determine. The reference may be left out when no limit is
// relative to it (no R, no theta, no bare percent).
#pragma once

#include <QString>
#include <vector>

#include "data/CurveFile.h"

namespace kavo {

enum class QcTolKind { None, Percent, Absolute };
struct QcTolerance {
  QcTolKind kind = QcTolKind::None;
  double value = 0;  // %, or Ω / deg
};

struct QcLimit {
  int param = 0;
  int line = 0;
  bool percent = false;
  double value = 0;       // ± percent
  double lo = 0, hi = 0;  // the interval
};

struct QcRules {
  QString reference;  // as written; empty with meanReference
  bool meanReference = false;
  int referenceLine = 0;
  int rangeLine = 0;          // 0: no range given
  double fmin = 0, fmax = 0;  // 0: the reference's band
  QcTolerance r, theta;
  double re = 0;
  std::vector<QcLimit> limits;
  // Which families' analyses the limits need (indexed as QcFamilies()).
  std::vector<bool> Families() const;
};

// What is wrong with a rules file (or with its reference, found when it is
// loaded). `text` is the key, value or name the reason is about.
enum class QcRuleProblem {
  NotKeyValue, NoKey, UnknownKey, Twice, NoValue, NotNumber, NotAngle, BadRange, BadRe, UpsideDown,
  NoReference, NeedsRe, NotDetermined, NothingToCheck,
  // Found with the reference:
  TooLarge, Unreadable, ReferenceUnreadable, ReferenceUnconvertible, NoMeanReference, RangeEmpty,
};
struct QcRuleError {
  int line = 0;  // 1-based; 0 for the file as a whole
  QcRuleProblem problem = QcRuleProblem::NotKeyValue;
  QString text;
  QString detail;  // ReferenceUnreadable: the table reader's words, if any
  LoadFailure load = LoadFailure::None;  // ReferenceUnreadable: why the file did not load
};

// False with the first error; `rules` is then incomplete.
bool ParseQcRules(const QString& text, QcRules& rules, QcRuleError& error);

}  // namespace kavo
