// The compensation designed from curves of the simulated unit: the measured
// curve with the exact networks across it is flat to Re, and the classic
// closed forms hold where they apply.
#include <gtest/gtest.h>

#include <cmath>

#include "Records.h"
#include "UnitModel.h"
#include "analysis/Compensation.h"
#include "analysis/ModelFit.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

FitCurve Measured(const kavsim::DriverModel& m) {
  MeasureData data;
  PointValues raw, ave;
  EXPECT_TRUE(FillFromUnit(data, m, 0.002, 5));
  data.valid = 1;
  EXPECT_TRUE(KAVO_File().ConvertData(&data, &raw, &ave));
  return CurveFromSlots(raw.R, raw.Theta, raw.Freq, 0, 399);
}

TEST(Compensation, FlattensLeLr2AndSemiCoilsToReAndTakesThePeakDown) {
  using Coil = kavsim::DriverModel::Coil;
  for (Coil coil : {Coil::Le, Coil::LR2, Coil::Semi}) {
    kavsim::DriverModel m;
    kavsim::FindPreset("woofer65", m);
    m.coil = coil;
    m.L2 = 2 * m.Le;
    m.R2 = 4 * m.Re;
    m.n = 0.7;
    m.K = 2 * M_PI * 1000 * m.Le / std::pow(2 * M_PI * 1000, m.n);
    CompensationInput in;
    in.curve = Measured(m);
    in.re = m.Re;
    in.series = ESeries::Exact;
    in.powerW = 1e308;  // its Zobel's power would be no number
    EXPECT_EQ(DesignCompensation(in).failure, CompFailure::BadPower);
    in.powerW = 10;
    const CompensationResult r = DesignCompensation(in);
    ASSERT_TRUE(r.Ok()) << int(coil) << " " << int(r.failure);
    double band = 0, peak = 0;
    for (size_t k = 0; k < r.f.size(); ++k) {
      const double dev = std::abs(std::abs(r.exact[k]) / m.Re - 1);
      if (r.f[k] >= 3 * m.Fs) band = std::max(band, dev);
      else peak = std::max(peak, std::abs(r.exact[k]) / m.Re - 1);
    }
    EXPECT_LT(band, 0.10) << int(coil);
    EXPECT_LT(peak, 0.15) << int(coil);
    if (coil == Coil::Le) {
      // Where the resonance's tail (Re·Fs/(Qes·f)) is small, the Zobel alone
      // meets the closed forms Rz = Re, Cz = Le/Re².
      m.Qes = 5;
      in.curve = Measured(m);
      in.notch = false;
      in.bandLow = 1000;
      const CompensationResult z = DesignCompensation(in);
      ASSERT_TRUE(z.Ok());
      EXPECT_NEAR(z.Part("Rz")->value / m.Re, 1, 0.02);
      EXPECT_NEAR(z.Part("Cz_uF")->value / (m.Le / (m.Re * m.Re)), 1, 0.03);
      EXPECT_LT(z.flatnessExact, 2.0);
      EXPECT_EQ(z.Part("Rz2"), nullptr);
    }
    if (coil == Coil::Semi) {
      // A coil with n = 0.5 from 300 Hz up is beyond one stage's 10 %: the
      // second stage comes in and brings it within.
      m.n = 0.5;
      m.K = 2 * M_PI * 1000 * m.Le / std::pow(2 * M_PI * 1000, m.n);
      in.curve = Measured(m);
      in.notch = false;
      in.bandLow = 300;
      const CompensationResult z = DesignCompensation(in);
      ASSERT_TRUE(z.Ok());
      EXPECT_NE(z.Part("Cz2_uF"), nullptr);
      EXPECT_LT(z.flatnessExact, 10.0);
    }
  }
}

// A part's standard value as shown: the nearest E-series value, written as
// printed on the part (a 9790 µF notch capacitor is a 10000 µF part).
TEST(Compensation, StandardValuesAreNearestAndPlainlyWritten) {
  EXPECT_EQ(StandardValueText(NearestStandard(9790, 12)), "10000");
  EXPECT_EQ(StandardValueText(NearestStandard(330000, 12)), "330000");
  EXPECT_EQ(StandardValueText(NearestStandard(0.0112, 24)), "0.011");
}

}  // namespace
}  // namespace kavo::test
