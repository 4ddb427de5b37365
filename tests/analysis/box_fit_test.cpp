// The box fit against the simulated loudspeaker: the unit's stream (its
// quantisation, and noise when asked), the program's conversion, the fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "Records.h"
#include "UnitModel.h"
#include "analysis/BoxModel.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

using Box = kavsim::DriverModel::Box;

FitCurve Measure(const kavsim::DriverModel& model, double noise = 0, uint32_t seed = 1) {
  MeasureData data;
  PointValues raw, ave;
  EXPECT_TRUE(FillFromUnit(data, model, noise, seed));
  data.valid = 1;
  EXPECT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
  return CurveFromSlots(raw.R, raw.Theta, raw.Freq, 0, 399);
}

kavsim::DriverModel Boxed(const char* preset, Box box, double litres, double fb, double ql, double qa) {
  kavsim::DriverModel m;
  EXPECT_TRUE(kavsim::FindPreset(preset, m));
  m.box = box;
  m.vb = litres * 1e-3;
  m.fb = fb;
  m.ql = ql;
  m.qa = qa;
  return m;
}

// The free driver of `m`, and the input with the driver from `source`.
BoxInput Input(const kavsim::DriverModel& m, DriverSource source, double noise = 0, uint32_t seed = 1) {
  kavsim::DriverModel free = m;
  free.box = Box::None;
  BoxInput in;
  in.kind = m.box == Box::Closed ? BoxKind::Closed : BoxKind::Vented;
  in.boxed = Measure(m, noise, seed);
  in.source = source;
  in.vb = m.vb;
  in.re = m.Re;
  if (source == DriverSource::Free) in.free = Measure(free, noise, seed + 1000);
  in.driver = {free.Fs, free.Qms, free.Qes, free.Qms * free.Qes / (free.Qms + free.Qes), free.Vas, free.Re};
  return in;
}

// What the simulated box should give: Fc and Qtc of a closed box, Fb, Vab
// (when the driver's Vas is known) and QL of a vented one.
struct Truth {
  int value;
  double expected, tolerance;  // relative
};
std::vector<Truth> TruthOf(const kavsim::DriverModel& m, bool vasKnown) {
  const double alpha = m.Vas / m.vb;
  if (m.box == Box::Vented && vasKnown)
    return {{BvFb, m.fb, 0.01}, {BvVab, m.vb, 0.01}, {BvAlpha, alpha, 0.01}, {BvQL, m.ql, 0.10}};
  if (m.box == Box::Vented) return {{BvFb, m.fb, 0.01}, {BvAlpha, alpha, 0.01}, {BvQL, m.ql, 0.10}};
  const double r = std::sqrt(1 + alpha), wc = 2 * M_PI * m.Fs * r, ws = 2 * M_PI * m.Fs;
  const double qec = m.Qes * r, qmc = wc / (ws / m.Qms + ws * ws * alpha / (wc * m.qa));
  return {{BvFc, m.Fs * r, 0.01}, {BvQtc, qmc * qec / (qmc + qec), 0.01}, {BvAlpha, alpha, 0.01}};
}

TEST(BoxFit, RecoversTheSimulatedBoxesThroughTheUnitsQuantisation) {
  struct Case {
    const char* preset;
    Box box;
    double litres, fb, ql, qa;
    DriverSource source;
  };
  const Case cases[] = {
      {"woofer65", Box::Closed, 12, 0, 0, 8, DriverSource::Typed},
      {"woofer65", Box::Closed, 12, 0, 0, 8, DriverSource::Free},
      {"fullrange", Box::Closed, 1.5, 0, 0, 20, DriverSource::Typed},
      {"woofer65", Box::Vented, 30, 38, 7, 30, DriverSource::Typed},
      {"woofer65", Box::Vented, 30, 38, 5, 40, DriverSource::Free},
      {"woofer65", Box::Vented, 20, 45, 15, 20, DriverSource::Typed},
      {"fullrange", Box::Vented, 2, 90, 10, 30, DriverSource::Free},
  };
  for (const Case& c : cases) {
    const kavsim::DriverModel m = Boxed(c.preset, c.box, c.litres, c.fb, c.ql, c.qa);
    const BoxResult r = FitBox(Input(m, c.source));
    const char* kind = c.box == Box::Closed ? "closed" : "vented";
    ASSERT_TRUE(r.fit.Ok()) << c.preset << ' ' << kind << ": failure " << int(r.fit.failure);
    EXPECT_LT(r.fit.residual, 0.005) << c.preset;
    std::printf("%s %s %.3g l%s, residual %.3f %%\n", c.preset, kind, c.litres,
                c.source == DriverSource::Free ? " (free curve)" : "", 100 * r.fit.residual);
    for (const Truth& t : TruthOf(m, c.source != DriverSource::Free)) {
      const double v = r.fit.value[size_t(t.value)], s = r.fit.sigma[size_t(t.value)];
      const ReportedValue& info = BoxValueInfoOf(t.value);
      std::printf("  %-4s true %9.4g fitted %9.4g ±%.2g (%+.2f %%)\n", info.name, t.expected * info.scale,
                  v * info.scale, s * info.scale, 100 * (v / t.expected - 1));
      EXPECT_TRUE(r.fit.has[size_t(t.value)]) << info.name;
      EXPECT_NEAR(v, t.expected, t.tolerance * t.expected) << c.preset << ' ' << kind << ' ' << info.name;
    }
  }
}

TEST(BoxFit, TheTrueValueLiesWithinTwoSigmaForNineSeedsInTen) {
  // The joint fit with the free curve, Re given exactly: σ is the fit's own.
  const kavsim::DriverModel vented = Boxed("woofer65", Box::Vented, 30, 38, 7, 30);
  const kavsim::DriverModel closed = Boxed("woofer65", Box::Closed, 12, 0, 0, 8);
  constexpr int Seeds = 50;
  for (const kavsim::DriverModel* m : {&vented, &closed}) {
    std::vector<Truth> truth = TruthOf(*m, false);
    std::vector<int> inside(truth.size(), 0);
    for (int seed = 1; seed <= Seeds; ++seed) {
      BoxInput in = Input(*m, DriverSource::Free, 0.004, uint32_t(seed));
      in.reSigma = 0;
      const BoxResult r = FitBox(in);
      ASSERT_TRUE(r.fit.Ok()) << seed << " failure " << int(r.fit.failure);
      for (size_t i = 0; i < truth.size(); ++i) {
        const size_t v = size_t(truth[i].value);
        if (std::abs(r.fit.value[v] - truth[i].expected) <= 2 * r.fit.sigma[v]) ++inside[i];
      }
    }
    for (size_t i = 0; i < truth.size(); ++i) {
      std::printf("  %-4s within ±2σ: %d of %d\n", BoxValueInfoOf(truth[i].value).name, inside[i], Seeds);
      EXPECT_GE(inside[i], Seeds * 9 / 10) << BoxValueInfoOf(truth[i].value).name;
    }
  }
}

// A vented box alone takes the loss beside the leakage that its curve shows,
// absorption or port (with QL taking both, Fb came out 0.5 % off at QA 30).
TEST(BoxFit, AVentedBoxAloneTakesTheLossItsCurveShows) {
  for (const auto [qa, qp] : {std::pair{30.0, 0.0}, {10.0, 0.0}, {0.0, 40.0}}) {
    kavsim::DriverModel m = Boxed("woofer65", Box::Vented, 30, 38, 7, qa);
    m.qp = qp;
    const FitResult r = FitBox(Input(m, DriverSource::BoxOnly, 0.004, 3)).fit;
    ASSERT_TRUE(r.Ok()) << qa << ' ' << qp;
    for (const auto [v, truth] : {std::pair{int(BvFb), 38.0}, {int(BvQL), 7.0}, {int(BvQB), qa + qp}})
      EXPECT_LE(std::abs(r.value[size_t(v)] - truth), 2 * r.sigma[size_t(v)]) << qa << ' ' << qp << ' ' << v;
  }
}

// A subwoofer resonating at 16 Hz, below the unit's first point: its free
// curve holds the upper skirt only. With a closed box of 30 L (Fc 27.7 Hz)
// the joint fit gives Fs, Qts and Vas, the truth within 2σ on noisy sweeps.
TEST(BoxFit, ASubwooferResonatingBelowTheBandThroughItsClosedBox) {
  kavsim::DriverModel m = Boxed("sub10", Box::Closed, 30, 0, 0, 10);
  m.Fs = 16;
  const Truth truth[] = {{BvFs, 16, 0}, {BvQts, m.Qms * m.Qes / (m.Qms + m.Qes), 0}, {BvVas, m.Vas, 0}};
  constexpr int Seeds = 20;
  int inside[3] = {};
  for (int seed = 1; seed <= Seeds; ++seed) {
    const BoxResult r = FitBox(Input(m, DriverSource::Free, 0.004, uint32_t(seed)));
    ASSERT_TRUE(r.fit.Ok()) << seed << " failure " << int(r.fit.failure) << " curve " << r.fit.failedCurve;
    EXPECT_NE(std::find(r.notes.begin(), r.notes.end(), BoxNote::FreeBelowRange), r.notes.end());
    for (int i = 0; i < 3; ++i) {
      const size_t v = size_t(truth[i].value);
      ASSERT_TRUE(r.fit.has[v]);
      if (seed == 1)
        std::printf("  %-4s true %7.4g fitted %7.4g ±%.2g\n", BoxValueInfoOf(truth[i].value).name,
                    truth[i].expected * BoxValueInfoOf(truth[i].value).scale,
                    r.fit.value[v] * BoxValueInfoOf(truth[i].value).scale,
                    r.fit.sigma[v] * BoxValueInfoOf(truth[i].value).scale);
      if (std::abs(r.fit.value[v] - truth[i].expected) <= 2 * r.fit.sigma[v]) ++inside[i];
    }
  }
  for (int i = 0; i < 3; ++i) EXPECT_GE(inside[i], Seeds * 9 / 10) << BoxValueInfoOf(truth[i].value).name;
}

}  // namespace
}  // namespace kavo::test
