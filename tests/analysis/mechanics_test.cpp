// The added-mass steps on real pairs of runs (free, then with a known mass),
// read through the one loader: Mms and Bl against the reference values of
// the same units, and the refusal of a second curve without a resonance.
#include <gtest/gtest.h>

#include <memory>

#include "RealData.h"
#include "analysis/Curves.h"
#include "analysis/Ts_mechanics.h"
#include "analysis_fixture.h"

namespace kavo::test {
namespace {

TEST(Mechanics, AddedMassOnRealPairs) {
  const struct {
    const char *free, *loaded;
    double re, sdCm2, grams;
    double mmsG, bl, within;  // reference values and the relative deviation allowed
  } cases[] = {
      {"LS10-44_free.zma", "LS10-44_100g.zma", 7.4, 330, 100, 132, 21.1, 0.06},
      {"kapana2_N2_free.zma", "kapana2_N2_15.3g.zma", 3.719, 59.45, 15.3, 6.283, 3.59, 0.06},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.free);
    const auto free = std::make_unique<TsSession>(), loaded = std::make_unique<TsSession>();
    QString why;
    ASSERT_EQ(OpenTsSession(Real(c.free), *free, why), LoadFailure::None) << why.toStdString();
    ASSERT_EQ(OpenTsSession(Real(c.loaded), *loaded, why), LoadFailure::None) << why.toStdString();
    TSResult table;
    bool mirrored = false;
    ASSERT_EQ(FreeDriverTable(free->analysis, float(c.re), table, mirrored), TsFailure::None);
    MechanicsInput in;
    in.sd = c.sdCm2 * 1e-4;
    in.mass = c.grams * 1e-3;
    ASSERT_EQ(MeasureMechanics(free->analysis, table, loaded->analysis, in), TsFailure::None);
    MechanicsResult r;
    ASSERT_EQ(CalcMechanics(in, r).code, MechanicsFailure::None);
    std::printf("%-22s Fs %.2f  Fs' %.2f  Mms %.2f g (%.2f)  Bl %.3f (%.3f)%s\n", c.free, in.fs, in.fsLoaded,
                r.Mms * 1e3, c.mmsG, r.Bl, c.bl, mirrored ? "  f1 mirrored" : "");
    EXPECT_NEAR(r.Mms * 1e3 / c.mmsG, 1, c.within);
    EXPECT_NEAR(r.Bl / c.bl, 1, c.within);
    EXPECT_LT(in.fsLoaded, in.fs);

    // A loaded curve with no resonance in it gives no result.
    const Curve flat(1, [](int) { return 6.0; });
    EXPECT_EQ(MeasureMechanics(free->analysis, table, flat.analysis, in), TsFailure::NoPeak);
  }
}

}  // namespace
}  // namespace kavo::test
