// The simulated unit sweeps the same 400-slot grid and bands that the
// program converts, plots and writes: a change to either side shows here.
#include <gtest/gtest.h>

#include "UnitModel.h"
#include "data/Kavo_setting.h"

namespace {

TEST(FrequencyGrid, SimulatorSweepsTheProgramsGrid) {
  ASSERT_EQ(kavsim::GridSlots, kavo::BandLastSlot(1) + 1);
  for (int slot = 0; slot < kavsim::GridSlots; ++slot)
    ASSERT_NEAR(kavsim::SlotFrequency(slot), kavo::GridFrequency(slot), 1e-9 * kavo::GridFrequency(slot)) << slot;
  for (int band = 1; band <= 4; ++band) {
    int first = -1, last = -1;
    ASSERT_TRUE(kavsim::BandSlots(band, first, last)) << band;
    EXPECT_EQ(first, kavo::BandFirstSlot(band)) << band;
    EXPECT_EQ(last, kavo::BandLastSlot(band)) << band;
    EXPECT_EQ(last - first + 1, kavo::BandPointCount(band)) << band;
    EXPECT_NEAR(kavsim::SlotFrequency(first), kavo::BandFreqMin(band), 1e-9 * kavo::BandFreqMin(band)) << band;
    EXPECT_NEAR(kavsim::SlotFrequency(last), kavo::BandFreqMax(band), 1e-9 * kavo::BandFreqMax(band)) << band;
  }
  int first = 0, last = 0;
  EXPECT_FALSE(kavsim::BandSlots(5, first, last));
  EXPECT_FALSE(kavo::IsBand(5));
}

}  // namespace
