// A quality check's set-up: see analysis/QcSetup.h.
#include "analysis/QcSetup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <memory>

#include "data/CurveFile.h"

namespace kavo {
namespace {

// The range must hold reference points: a check that compares nothing is no check.
bool RangeHoldsReference(const QcSetup& setup, QcRuleError& error) {
  if (QcReferencePoints(setup.rules, setup.reference) > 0) return true;
  const QcRules& r = setup.rules;
  error = {r.rangeLine > 0 ? r.rangeLine : r.referenceLine, QcRuleProblem::RangeEmpty, {}, {}};
  if (r.rangeLine > 0) error.text = QStringLiteral("%1 %2").arg(QcNumber(r.fmin), QcNumber(r.fmax));
  return false;
}

}  // namespace

bool LoadQcSetup(const QString& path, const QString& folder, QcSetup& setup, QcRuleError& error) {
  setup = QcSetup();
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return error = {0, QcRuleProblem::Unreadable, path, {}}, false;
  const QByteArray text = file.read(MaxRulesBytes + 1);
  if (text.size() > MaxRulesBytes) return error = {0, QcRuleProblem::TooLarge, path, {}}, false;
  if (!ParseQcRules(QString::fromUtf8(text), setup.rules, error)) return false;
  if (setup.rules.meanReference || setup.rules.referenceLine == 0) return true;

  QString refPath = setup.rules.reference;
  if (QFileInfo(refPath).isRelative()) refPath = QDir(folder).filePath(refPath);
  setup.referencePath = refPath;
  auto data = std::make_unique<MeasureData>();
  auto raw = std::make_unique<PointValues>(), ave = std::make_unique<PointValues>();
  QString why;
  const LoadFailure failure = ReadCurveFile(refPath, CurveRead{}, *data, *raw, *ave, why);
  if (failure == LoadFailure::Unconvertible)
    return error = {setup.rules.referenceLine, QcRuleProblem::ReferenceUnconvertible, refPath, {}}, false;
  if (failure != LoadFailure::None)
    return error = {setup.rules.referenceLine, QcRuleProblem::ReferenceUnreadable, refPath, why, failure}, false;
  setup.reference = MeasureDriver(*data, *raw, setup.Analysis());
  return RangeHoldsReference(setup, error);
}

bool UseMeanReference(const std::vector<const QcMeasurement*>& set, QcSetup& setup, QcRuleError& error) {
  if (set.empty()) return error = {setup.rules.referenceLine, QcRuleProblem::NoMeanReference, {}, {}}, false;
  setup.reference = MeanMeasurement(set);
  return RangeHoldsReference(setup, error);
}

}  // namespace kavo
