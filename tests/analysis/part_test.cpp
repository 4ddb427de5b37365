// Parts measured by the simulated unit, through its quantisation and the
// data conversion, fitted back: the values the README's table of bands
// promises, and the parts the unit cannot resolve.
#include <gtest/gtest.h>

#include "Records.h"
#include "UnitModel.h"
#include "analysis/ModelFit.h"
#include "analysis/PartModel.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

using Kind = kavsim::PartModel::Kind;

// The part on the full band as the program reads it, slots first..last.
FitCurve Measured(const kavsim::PartModel& part, int first = 0, int last = 399) {
  kavsim::DriverModel m;
  m.part = part;
  MeasureData data;
  PointValues raw, ave;
  EXPECT_TRUE(FillFromUnit(data, m, 0.001, 3));
  data.valid = 1;
  EXPECT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
  return CurveFromSlots(raw.R, raw.Theta, raw.Freq, first, last);
}

double Value(const PartResult& r, const char* key) {
  for (size_t v = 0; v < r.fit.table.size(); ++v)
    if (std::string(r.fit.table[v].key) == key) return r.fit.value[v];
  ADD_FAILURE() << key;
  return 0;
}

TEST(PartFit, RecoversTheTablesPartsWithinOnePercentAndTwoSteps) {
  struct Case { Kind kind; double main, loss; };
  const Case cases[] = {
      {Kind::Inductor, 0.1e-3, 0.08}, {Kind::Inductor, 0.33e-3, 0.15}, {Kind::Inductor, 1e-3, 0.3},
      {Kind::Inductor, 3.3e-3, 0.7},  {Kind::Inductor, 10e-3, 1.6},    {Kind::Capacitor, 1e-6, 0.3},
      {Kind::Capacitor, 3.3e-6, 0.1}, {Kind::Capacitor, 10e-6, 0.05},  {Kind::Capacitor, 33e-6, 0.04},
      {Kind::Capacitor, 100e-6, 0.03}, {Kind::Resistor, 8.2, 0}};
  for (const Case& c : cases) {
    kavsim::PartModel p;
    p.kind = c.kind;
    p.L = p.C = p.R = c.main;
    p.Rdc = p.ESR = c.loss;
    const PartResult r = MeasurePart({Measured(p), PartKind::Auto, {}});
    ASSERT_TRUE(r.Ok()) << c.main << " failure " << int(r.failure);
    EXPECT_TRUE(r.recognised);
    ASSERT_EQ(int(r.kind), int(c.kind)) << c.main;
    const char* mainKey = c.kind == Kind::Inductor ? "L_mH" : c.kind == Kind::Capacitor ? "C_uF" : "R";
    const char* lossKey = c.kind == Kind::Inductor ? "Rdc" : "ESR";
    EXPECT_NEAR(Value(r, mainKey) / c.main, 1, 0.01) << mainKey << " " << c.main;
    if (c.kind != Kind::Resistor) {
      EXPECT_NEAR(Value(r, lossKey), c.loss, 0.02) << lossKey << " " << c.main;
    }
  }
}

// A 0.1 µF capacitor below 250 Hz lies above the ceiling everywhere: the
// band of higher frequencies is named. A driver is no part.
TEST(PartFit, NamesTheBandForAPartOutOfRangeAndRefusesADriver) {
  kavsim::PartModel p;
  p.kind = Kind::Capacitor;
  p.C = 0.1e-6;
  const PartResult out = MeasurePart({Measured(p, 0, 143), PartKind::Capacitor, {}});
  EXPECT_EQ(int(out.failure), int(PartFailure::TooFewResolvable));
  EXPECT_EQ(out.suggestedBand, 4);
  EXPECT_EQ(out.leftOut, 144);
  p.kind = Kind::None;
  EXPECT_EQ(int(MeasurePart({Measured(p), PartKind::Auto, {}}).failure), int(PartFailure::LooksLikeDriver));
}

}  // namespace
}  // namespace kavo::test
