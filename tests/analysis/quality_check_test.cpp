// The quality check without a window or a command: the records a check
// returns for curves made up point by point, the mean reference, and the
// rules that name values no check of one curve can give.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/QcCheck.h"

namespace kavo::test {
namespace {

// 8 Ω and 10° on 61 log-spaced points from 10 Hz to 10 kHz, times `bump`
// (R) and plus `shift` (θ) inside [b1, b2].
QcMeasurement Flat(double bump = 1, double shift = 0, double b1 = 0, double b2 = 0, double f1 = 10, double f2 = 10000) {
  QcMeasurement m;
  m.value.assign(size_t(QcParamCount()), 0);
  m.has.assign(size_t(QcParamCount()), false);
  m.missing.assign(QcFamilies().size(), QcMissing::None);
  for (int k = 0; k <= 60; ++k) {
    const double f = 10 * std::pow(10, k / 20.0);
    if (f < f1 * 0.999 || f > f2 * 1.001) continue;
    const bool in = f >= b1 * 0.999 && f <= b2 * 1.001;
    m.curve.f.push_back(f);
    m.curve.r.push_back(in ? 8 * bump : 8);
    m.curve.thetaDeg.push_back(in ? 10 + shift : 10);
  }
  return m;
}

QcRules Rules(const char* text) {
  QcRules rules;
  QcRuleError error;
  EXPECT_TRUE(ParseQcRules(QString::fromUtf8(text), rules, error)) << text << " line " << error.line;
  return rules;
}

TEST(QualityCheck, EachRunOutsideTheBandIsOneRecordWithItsRangeAndWorstDeviation) {
  const QcRules rules = Rules("reference = mean\nR = 10%\ntheta = 5 deg\nrange = 20 5000\n");
  // R 25 % high from 100 Hz to 1 kHz; θ 7° low from 100 to 178 Hz.
  QcMeasurement m = Flat(1.25, 0, 100, 1000);
  for (size_t i = 0; i < m.curve.f.size(); ++i)
    if (m.curve.f[i] >= 99.9 && m.curve.f[i] <= 178) m.curve.thetaDeg[i] = 3;
  const QcVerdict v = CheckDriver(rules, Flat(), m);
  ASSERT_EQ(v.reasons.size(), 2u);
  EXPECT_FALSE(v.pass);
  const QcReason& r = v.reasons[0];
  EXPECT_EQ(r.kind, QcReasonKind::OutsideBand);
  EXPECT_EQ(r.channel, QcChannel::R);
  EXPECT_NEAR(r.f1, 100, 1e-9);
  EXPECT_NEAR(r.f2, 1000, 1e-9);
  EXPECT_NEAR(r.measured, 25, 1e-9);
  EXPECT_TRUE(r.percent);
  const QcReason& t = v.reasons[1];
  EXPECT_EQ(t.channel, QcChannel::Theta);
  EXPECT_NEAR(t.f2, 10 * std::pow(10, 25 / 20.0), 1e-6);  // 177.8 Hz
  EXPECT_NEAR(t.measured, -7, 1e-9);
  EXPECT_EQ(t.allowed, 5);

  // On the limit itself is inside; the same curve passes a wider band.
  EXPECT_TRUE(CheckDriver(Rules("reference = mean\nR = 25%\n"), Flat(), Flat(1.25, 0, 100, 1000)).pass);
}

TEST(QualityCheck, ACurveWithoutPointsInTheRangeFailsAndNeverPasses) {
  const QcRules rules = Rules("reference = mean\nR = 10%\nrange = 1000 5000\n");
  // A curve of 10–500 Hz: nothing to compare, not a pass.
  const QcVerdict none = CheckDriver(rules, Flat(), Flat(1, 0, 0, 0, 10, 500));
  ASSERT_EQ(none.reasons.size(), 1u);
  EXPECT_EQ(none.reasons[0].kind, QcReasonKind::NoPointInRange);
  EXPECT_EQ(none.reasons[0].f1, 1000);
  // Half the range: the points outside it are named as not covered.
  const QcVerdict half = CheckDriver(rules, Flat(), Flat(1, 0, 0, 0, 10, 2000));
  ASSERT_EQ(half.reasons.size(), 1u);
  EXPECT_EQ(half.reasons[0].kind, QcReasonKind::NotCovered);
  // A reference without points in the range is caught before any check.
  EXPECT_EQ(QcReferencePoints(rules, Flat(1, 0, 0, 0, 10, 500)), 0);
  EXPECT_EQ(QcReferencePoints(rules, Flat()), 14);  // 1000 to 4467 Hz
}

TEST(QualityCheck, ParameterLimitsGiveTheValueTheLimitAndWhyAValueIsMissing) {
  const QcRules rules = Rules("reference = mean\nre = 5.6\nFs = 5%\nts.Qts = 0.3..0.4\nfit.lambda = 0..0.2\n");
  QcMeasurement ref = Flat(), m = Flat();
  const int fs = QcTsParam("Fs"), qts = QcTsParam("Qts");
  ref.value[size_t(fs)] = 40, ref.has[size_t(fs)] = true;
  m.value[size_t(fs)] = 42.5, m.has[size_t(fs)] = true;
  m.value[size_t(qts)] = 0.35, m.has[size_t(qts)] = true;
  m.missing[QcFitFamily] = QcMissing::Fit;
  m.fitFailure = FitFailure::NoResonance;
  const QcVerdict v = CheckDriver(rules, ref, m);
  ASSERT_EQ(v.reasons.size(), 2u);
  EXPECT_EQ(v.reasons[0].kind, QcReasonKind::OutsideLimit);
  EXPECT_EQ(v.reasons[0].param, fs);
  EXPECT_DOUBLE_EQ(v.reasons[0].lo, 38);
  EXPECT_DOUBLE_EQ(v.reasons[0].hi, 42);
  EXPECT_EQ(v.reasons[1].kind, QcReasonKind::NotDetermined);
  EXPECT_EQ(v.reasons[1].missing, QcMissing::Fit);
  EXPECT_EQ(v.reasons[1].fitFailure, FitFailure::NoResonance);
}

TEST(QualityCheck, RulesThatNoCheckCanMeetAreRefusedWithTheirLine) {
  const struct {
    const char* text;
    int line;
    QcRuleProblem problem;
  } cases[] = {
      {"reference = mean\nR = 10%\nfit.Le = 5%\n", 3, QcRuleProblem::NotDetermined},
      {"reference = mean\nfit.Mms = 1..2\n", 2, QcRuleProblem::NotDetermined},
      {"reference = mean\nre = 5.6\n", 0, QcRuleProblem::NothingToCheck},
      {"reference = mean\nFs = 5%\nts.Fs = 3%\n", 3, QcRuleProblem::Twice},
  };
  for (const auto& c : cases) {
    QcRules rules;
    QcRuleError error;
    EXPECT_FALSE(ParseQcRules(QString::fromUtf8(c.text), rules, error)) << c.text;
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_EQ(error.problem, c.problem) << c.text;
  }
}

TEST(QualityCheck, TheMeanIsTakenWhereEveryCurveHasPoints) {
  const QcMeasurement a = Flat(1.5, 4, 10, 10000, 10, 10000), b = Flat(1, 0, 0, 0, 100, 1000);
  const QcMeasurement mean = MeanMeasurement({&a, &b});
  ASSERT_EQ(mean.curve.f.size(), 21u);
  EXPECT_NEAR(mean.curve.f.front(), 100, 1e-9);
  EXPECT_DOUBLE_EQ(mean.curve.r[5], 10);
  EXPECT_DOUBLE_EQ(mean.curve.thetaDeg[5], 12);
}

}  // namespace
}  // namespace kavo::test
