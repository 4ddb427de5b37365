// The analysis against the simulator's driver model, end to end: the unit's
// sweep stream, the program's conversion, the peak search and the
// parameters, compared with the model's own Fs, Qms, Qes and Qts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "analysis/Ts_analysis.h"
#include "analysis/windows/AnalysisTexts.h"
#include "Records.h"
#include "UnitModel.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

// The measurement a noiseless unit sends for `model` on the full band,
// converted as a finished sweep or an opened file is.
struct Measured {
  MeasureData data;
  PointValues raw, ave, smooth;
};

void MeasureModel(const kavsim::DriverModel& model, Measured& m, double noise = 0.0, uint32_t seed = 1) {
  ASSERT_TRUE(FillFromUnit(m.data, model, noise, seed));
  m.data.valid = 1;
  ASSERT_TRUE(KAVO_File().ConvertData(&m.data, &m.raw, &m.ave));
  MakeSmoothValues(m.raw, m.data.band, m.smooth);
}

struct Case {
  const char* name;
  kavsim::DriverModel model;
  TsFailure expected = TsFailure::None;
  double qmsTolerance = 0.04;
  // The method's own bias makes Fs miss 1 % here by this much (relative);
  // checked as a known figure, not hidden behind a wider tolerance.
  double knownFsDeviation = 0.0;
};

double Rel(double got, double want) { return (got - want) / want; }

// Fs within 1 %, Qes and Qts within 3 %, Qms within 4 % (woofers) or 5 %
// (a dome tweeter near 900 Hz).
TEST(ModelAgreement, EveryPresetAndFiveDrivers) {
  std::vector<Case> cases;
  for (const kavsim::Preset& p : kavsim::Presets()) {
    cases.push_back({p.name, p.model});
    const std::string name = p.name;
    // The subwoofer's f1 (about 17 Hz) lies below the band.
    if (name == "sub10") cases.back().expected = TsFailure::NoF1;
    // A tall, blunt resonance: more than 1 ohm above the points 10 slots
    // away (not broad), steps of about 0.1 ohm over 3 slots at the top (not
    // sharp). The method lists no peak.
    if (name == "tweeter") cases.back().expected = TsFailure::NoPeak;
  }
  cases.push_back({"6.5-inch woofer", {6.05, 0.38e-3, 44.75, 2.74, 0.55}});
  cases.push_back({"10-inch subwoofer", {5.61, 1.37e-3, 32.4, 7.15, 0.59}});
  cases.push_back({"3-inch full-range", {3.15, 0.075e-3, 161.6, 7.30, 1.72}});
  // The largest |Z| lies on the grid slot below Fs (901.25 Hz for 911.7 Hz).
  cases.push_back({"1-inch dome tweeter", {4.89, 0.04e-3, 911.7, 1.21, 1.01}, TsFailure::None, 0.05, -0.0115});
  cases.push_back({"f1 below 20 Hz", {6.0, 1.38e-3, 29, 4.91, 0.37}, TsFailure::NoF1});

  std::printf("%-20s %8s %8s %7s %7s %7s %7s %7s %7s %7s %7s\n", "driver", "Fs", "model", "Qms", "model", "Qes",
              "model", "Qts", "model", "f1", "f2");
  for (const Case& c : cases) {
    Measured m;
    MeasureModel(c.model, m);
    TsAnalysis a;
    a.SetSource(&m.raw, &m.smooth, &m.data);
    a.FindPeaks();
    TSResult r;
    const TsFailure failure = a.CalcTS(float(c.model.Re), r);
    const double qts = c.model.Qms * c.model.Qes / (c.model.Qms + c.model.Qes);
    std::printf("%-20s %8.2f %8.2f %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %7.2f %7.2f  %s\n", c.name, r.Fs, c.model.Fs,
                r.Qms, c.model.Qms, r.Qes, c.model.Qes, r.Qts, qts, r.f1, r.f2,
                TsFailureText(failure).toUtf8().constData());
    ASSERT_EQ(failure, c.expected) << c.name;
    if (failure == TsFailure::NoPeak) continue;
    if (c.knownFsDeviation != 0.0)
      EXPECT_NEAR(Rel(r.Fs, c.model.Fs), c.knownFsDeviation, 0.001) << c.name;
    else
      EXPECT_LE(std::fabs(Rel(r.Fs, c.model.Fs)), 0.01) << c.name;
    if (failure != TsFailure::None) continue;
    EXPECT_LE(std::fabs(Rel(r.Qms, c.model.Qms)), c.qmsTolerance) << c.name;
    EXPECT_LE(std::fabs(Rel(r.Qes, c.model.Qes)), 0.03) << c.name;
    EXPECT_LE(std::fabs(Rel(r.Qts, qts)), 0.03) << c.name;
  }
}

// Whether the search takes the tweeter's blunt top depends on the noise: with
// kavsim's default 0.002, seed 1 gives a peak at 855.60 Hz, seed 3 none.
TEST(ModelAgreement, TweeterPeakDependsOnTheNoiseSeed) {
  kavsim::DriverModel tweeter;
  ASSERT_TRUE(kavsim::FindPreset("tweeter", tweeter));
  for (const auto& [seed, peak] : {std::pair{1u, "855.60"}, {3u, ""}}) {
    Measured m;
    MeasureModel(tweeter, m, 0.002, seed);
    TsAnalysis a;
    a.SetSource(&m.raw, &m.smooth, &m.data);
    a.FindPeaks();
    EXPECT_EQ(a.peakCount ? FormatPeakValue(a.peakF) : QString(), QString(peak)) << seed;
  }
}

}  // namespace
}  // namespace kavo::test
