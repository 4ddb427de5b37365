// What the graph shows, without a window: the scale steps, the slot under a
// frequency and the read-out texts.
#include <gtest/gtest.h>

#include "data/Kavo_setting.h"
#include "graph/GraphView.h"

namespace kavo {
namespace {

// A view over one measurement's arrays, as the main window binds its own.
struct BoundView {
  MeasureData main;
  PointValues raw, ave;
  GraphView view;
  BoundView() {
    main.band = 1;
    GraphSources sources;
    sources.main = &main;
    sources.raw = &raw;
    sources.ave = &ave;
    view.Bind(sources);
  }
};

TEST(GraphView, ScaleStepsAtTheirBoundaries) {
  EXPECT_EQ(GraphView::RScaleFor(150.0f), 150.0f);
  EXPECT_EQ(GraphView::RScaleFor(150.01f), 200.0f);
  EXPECT_EQ(GraphView::RScaleFor(25.0f), 25.0f);
  EXPECT_EQ(GraphView::RScaleFor(25.5f), 50.0f);
  EXPECT_EQ(GraphView::RScaleFor(0.0f), 10.0f);
  EXPECT_EQ(GraphView::ThetaScaleFor(30.0f), 45.0f);
  EXPECT_EQ(GraphView::ThetaScaleFor(30.5f), 90.0f);
  EXPECT_EQ(GraphView::ThetaScaleFor(60.0f), 90.0f);
  EXPECT_EQ(GraphView::ThetaScaleFor(60.5f), 180.0f);

  BoundView b;
  // Nothing measured: R 10, theta +-45.
  EXPECT_EQ(b.view.MainRMax(), 10.0f);
  EXPECT_EQ(b.view.MainThetaMax(), 45.0f);
  // Largest |theta| from a negative value.
  b.raw.Theta[10] = -61.0f;
  b.raw.R[10] = 150.0f;
  EXPECT_EQ(b.view.MainThetaMax(), 180.0f);
  EXPECT_EQ(b.view.MainRMax(), 150.0f);
  // Scales read the unsmoothed arrays whatever the averaging option.
  b.ave.R[11] = 500.0f;
  EXPECT_EQ(b.view.MainRMax(), 150.0f);
}

TEST(GraphView, PointIndexOwnsTheSpanBetweenMidpoints) {
  BoundView b;
  b.view.Scale().band = 2;  // slots 0..143
  for (int k = 0; k <= 143; ++k) b.raw.Freq[k] = 100.0f + 10.0f * k;
  EXPECT_EQ(b.view.FindPointIndex(99.0f), GraphView::NoPoint);
  EXPECT_EQ(b.view.FindPointIndex(100.0f), 0);
  EXPECT_EQ(b.view.FindPointIndex(109.0f), 0);   // beyond the midpoint 105: still the first point
  EXPECT_EQ(b.view.FindPointIndex(112.0f), 1);
  EXPECT_EQ(b.view.FindPointIndex(114.99f), 1);
  EXPECT_EQ(b.view.FindPointIndex(115.0f), 2);   // exactly the midpoint: the upper point
  EXPECT_EQ(b.view.FindPointIndex(1521.0f), 143);  // last interval belongs to the last point
  EXPECT_EQ(b.view.FindPointIndex(1530.0f), 143);
  EXPECT_EQ(b.view.FindPointIndex(1530.5f), GraphView::NoPoint);
}

TEST(GraphView, PointFormatters) {
  auto record = [](const char* text) {
    PointText p{};
    for (int i = 0; i < 18; ++i) p.c[i] = text[i];
    return p;
  };
  // R 1234, theta 0xFE3B = -453, count 0x20000 / divisor 100 = 20 Hz.
  const PointText twenty = record("04D2FE3B0200000064");
  EXPECT_EQ(GraphView::FormatFrequency(twenty), QStringLiteral("20.00[Hz]"));
  EXPECT_EQ(GraphView::FormatResistance(twenty), QStringLiteral("12.35[Ω]"));
  EXPECT_EQ(GraphView::FormatPhase(twenty), QStringLiteral("-45.3[deg]"));  // -45.25, half away from zero
  EXPECT_EQ(GraphView::FormatFrequency(record("000000000100000001")), QStringLiteral("1.000[kHz]"));
  EXPECT_EQ(GraphView::FormatFrequency(record("000000000025800001")), QStringLiteral("146.5[Hz]"));
  EXPECT_EQ(GraphView::FormatResistance(record("0000000000258000001")), QStringLiteral("0.00[Ω]"));
  const PointText broken = record("000000000100000000");  // divisor 0
  EXPECT_FALSE(GraphView::FormatFrequency(broken).isEmpty());
}

}  // namespace
}  // namespace kavo
