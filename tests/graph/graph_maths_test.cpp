// Axis, grid and label maths of the plotter, without any picture.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "data/Kavo_setting.h"
#include "graph/GraphAxes.h"


namespace {

QStringList LabelTexts(int band) {
  const auto axis = kavo::MakeFreqAxis(kavo::BandFreqMin(band), kavo::BandFreqMax(band));
  const auto set = kavo::FreqLabelFrequencies(axis);
  QStringList texts;
  for (int j = 0; j < set.count; ++j) texts << kavo::FreqLabelText(set.freq[size_t(j)]);
  return texts;
}

}  // namespace

TEST(GraphMaths, AxisEndsFollowTheirOwnLists) {
  // Each band's nominal limits give its axis.
  const int expected[4][2] = {{20, 20000}, {20, 250}, {250, 2000}, {2000, 20000}};
  for (int band = 1; band <= 4; ++band) {
    EXPECT_EQ(kavo::AxisLow(float(kavo::BandFreqMin(band))), expected[band - 1][0]) << band;
    EXPECT_EQ(kavo::AxisHigh(float(kavo::BandFreqMax(band))), expected[band - 1][1]) << band;
  }
  // 800 and 9000 exist only as lower ends, 25000 and above only as upper ends.
  EXPECT_EQ(kavo::AxisLow(850.0f), 800);
  EXPECT_EQ(kavo::AxisLow(9500.0f), 9000);
  EXPECT_EQ(kavo::AxisHigh(850.0f), 1000);
  EXPECT_EQ(kavo::AxisHigh(9500.0f), 10000);
  EXPECT_EQ(kavo::AxisLow(30000.0f), 20000);
  EXPECT_EQ(kavo::AxisHigh(21000.0f), 25000);
  EXPECT_EQ(kavo::AxisHigh(45000.0f), 50000);
  EXPECT_EQ(kavo::AxisHigh(1e9f), 50000);
  EXPECT_EQ(kavo::AxisLow(9.0f), 5);
  EXPECT_EQ(kavo::AxisLow(0.0f), 5);
  EXPECT_EQ(kavo::AxisLow(19.99f), 15);
}

TEST(GraphMaths, NextGridFreqSteps) {
  std::vector<double> seq;
  for (double g = 20; g < 20000; g = kavo::NextGridFreq(g)) seq.push_back(g);
  const std::vector<double> expected = {
      20,   30,   40,   50,   60,   70,   80,   90,   100,  150,  200,  300,
      400,  500,  600,  700,  800,  900,  1000, 1500, 2000, 3000, 4000, 5000,
      6000, 7000, 8000, 9000, 10000, 15000};
  EXPECT_EQ(seq, expected);
  EXPECT_EQ(kavo::NextGridFreq(250), 300);
  EXPECT_EQ(kavo::NextGridFreq(1500), 2000);
  EXPECT_EQ(kavo::NextGridFreq(5), 6);
  // Below 1 Hz there is no grid, but the step still moves forward.
  EXPECT_GT(kavo::NextGridFreq(0.0), 0.0);
  EXPECT_GT(kavo::NextGridFreq(std::nan("")), 0.0);
}

TEST(GraphMaths, FrequencyLabelsOfEachBand) {
  EXPECT_EQ(LabelTexts(1), (QStringList{"20", "30", "100", "300", "1k", "3k", "10k", "20k"}));
  EXPECT_EQ(LabelTexts(2), (QStringList{"20", "30", "50", "100", "200"}));
  EXPECT_EQ(LabelTexts(3), (QStringList{"300", "500", "1k", "2k"}));
  EXPECT_EQ(LabelTexts(4), (QStringList{"2k", "3k", "5k", "10k", "20k"}));
  EXPECT_EQ(kavo::FreqLabelText(1500), "1k");
  EXPECT_EQ(kavo::FreqLabelText(999.9), "999");
}

TEST(GraphMaths, FrequencyLabelsStopAtTen) {
  // A narrow 15..3000 Hz axis would keep eleven: 15 20 30 50 100 200 300 500
  // 1k 2k, and 3k falls off the end.
  kavo::FreqAxis axis = kavo::MakeFreqAxis(15, 3000);
  const auto set = kavo::FreqLabelFrequencies(axis);
  ASSERT_EQ(set.count, 10);
  EXPECT_EQ(set.freq[0], 15);
  EXPECT_EQ(set.freq[9], 2000);
  // Equal ends: nothing at all.
  axis.L1 = axis.L0;
  EXPECT_EQ(kavo::FreqLabelFrequencies(axis).count, 0);
}

TEST(GraphMaths, ColumnsMapTheAxisEndsToTheEdges) {
  for (int band = 1; band <= 4; ++band) {
    const auto axis = kavo::MakeFreqAxis(kavo::BandFreqMin(band), kavo::BandFreqMax(band));
    EXPECT_EQ(axis.Column(axis.fLo, 500), 0);
    EXPECT_NEAR(axis.Column(axis.fHi, 500), 500, 1);
    // Against the exact logarithmic position, within one pixel.
    for (double f : {300.0, 1000.0, 1500.0, 5000.0, 100.0, 50.0}) {
      if (f < axis.fLo || f > axis.fHi) continue;
      const double exact = 500.0 * std::log(f / axis.fLo) / std::log(double(axis.fHi) / axis.fLo);
      EXPECT_NEAR(axis.Column(f, 500), exact, 1.0) << band << " " << f;
    }
  }
  // An unconverted slot (f = 0) lands left of the plot instead of overflowing.
  const auto axis = kavo::MakeFreqAxis(20, 20000);
  EXPECT_LT(axis.Column(0.0, 500), 0);
  EXPECT_LT(axis.Column(-5.0, 500), 0);
}

TEST(GraphMaths, RLabelTexts) {
  QStringList r15, r200;
  for (int i = 0; i <= 10; ++i) {
    r15 << kavo::RLabelText(15.0f, i);
    r200 << kavo::RLabelText(200.0f, i);
  }
  EXPECT_EQ(r15, (QStringList{"15.0", "13.5", "12.0", "10.5", "9.0", "7.5", "6.0", "4.5", "3.0",
                              "1.5", "0.0"}));
  EXPECT_EQ(r200, (QStringList{"200.0", "180.0", "160.0", "140.0", "120.0", "100.0", "80.0",
                               "60.0", "40.0", "20.0", "0.0"}));
  EXPECT_EQ(kavo::RLabelText(25.0f, 1), "22.5");
  // A scale under 1 Ω per division keeps the leading zero.
  EXPECT_EQ(kavo::RLabelText(5.0f, 9), "0.5");
}

TEST(GraphMaths, ThetaLabels) {
  QStringList texts;
  for (int i = 0; i <= 10; ++i)
    texts << kavo::FormatThetaLabel(kavo::ThetaLabelValue(-45.0f, 45.0f, i));
  EXPECT_EQ(texts, (QStringList{"+ 45", "+ 36", "+ 27", "+ 18", "+  9", "+  0", "-  9", "- 18",
                                "- 27", "- 36", "- 45"}));
  EXPECT_EQ(kavo::FormatThetaLabel(180), "+180");
  EXPECT_EQ(kavo::FormatThetaLabel(-180), "-180");
  EXPECT_EQ(kavo::FormatThetaLabel(1234), "+1234");
  EXPECT_EQ(kavo::ThetaLabelValue(-180.0f, 180.0f, 3), 72);
  EXPECT_EQ(kavo::ThetaLabelValue(-90.0f, 90.0f, 7), -36);
}

TEST(GraphMaths, RowsClipAtTheScaleEnds) {
  EXPECT_EQ(kavo::RRow(0.0f, 25.0f, 300), 300);
  EXPECT_EQ(kavo::RRow(25.0f, 25.0f, 300), 0);
  EXPECT_EQ(kavo::RRow(12.5f, 25.0f, 300), 150);
  EXPECT_EQ(kavo::RRow(25.01f, 25.0f, 300), -1);
  EXPECT_EQ(kavo::RRow(1e9f, 25.0f, 300), -1);
  EXPECT_EQ(kavo::RRow(0.0f, 0.0f, 300), 300);  // no scale: no overflow

  EXPECT_EQ(kavo::ThetaRow(45.0f, -45.0f, 45.0f, 300), -1);
  EXPECT_EQ(kavo::ThetaRow(-45.0f, -45.0f, 45.0f, 300), 300);
  EXPECT_EQ(kavo::ThetaRow(-300.0f, -45.0f, 45.0f, 300), 300);
  EXPECT_EQ(kavo::ThetaRow(0.0f, -45.0f, 45.0f, 300), 150);
  EXPECT_EQ(kavo::ThetaRow(9.0f, -45.0f, 45.0f, 300), 120);
}

TEST(GraphMaths, LabelPlacementAroundThePlot) {
  std::array<QSize, kavo::labelslot::Count> sizes;
  sizes.fill(QSize(20, 10));
  const QRect area(64, 24, 502, 302);
  const kavo::FreqAxis mid = kavo::MakeFreqAxis(250, 2000);
  const auto where = kavo::PlaceScaleLabels(mid, area, QSize(500, 300), sizes, true);
  // 300 500 1k 2k below the plot, the rest of the row hidden; θ hidden when rOnly.
  EXPECT_EQ(where.move[kavo::labelslot::FreqFirst + 3], kavo::LabelMove::Place);
  EXPECT_EQ(where.move[kavo::labelslot::FreqFirst + 4], kavo::LabelMove::Hide);
  EXPECT_EQ(where.at[kavo::labelslot::FreqFirst + 3], QPoint(64 + mid.Column(2000, 500) - 10 + 2, 24 + 302 + 5));
  for (int slot = kavo::labelslot::ThetaFirst; slot <= kavo::labelslot::ThetaUnit; ++slot)
    EXPECT_EQ(where.move[size_t(slot)], kavo::LabelMove::Hide) << slot;
  EXPECT_EQ(where.at[kavo::labelslot::RFirst + 10], QPoint(64 - 20 - 5, 24 + 300 - 5 + 2));
  // A flat axis leaves the frequency row as it is.
  kavo::FreqAxis flat = kavo::MakeFreqAxis(20, 20000);
  flat.L1 = flat.L0;
  const auto none = kavo::PlaceScaleLabels(flat, area, QSize(500, 300), sizes, false);
  EXPECT_EQ(none.move[kavo::labelslot::FreqFirst], kavo::LabelMove::Keep);
  EXPECT_EQ(none.move[kavo::labelslot::FreqUnit], kavo::LabelMove::Keep);
  EXPECT_EQ(none.move[kavo::labelslot::ThetaUnit], kavo::LabelMove::Place);
}

TEST(GraphMaths, CrowdedLabelsGiveWayToTheOneBefore) {
  // Across: 0..19 kept, 22 too close (gap 4), 25 clear of 0..19, hidden slot skipped.
  const std::vector<QRect> row{QRect(0, 0, 20, 8), QRect(22, 0, 20, 8), QRect(), QRect(25, 0, 20, 8)};
  EXPECT_EQ(kavo::KeptLabels(row, {4, 4, 4, 4}, true), (std::vector<bool>{true, false, true, true}));
  const std::vector<QRect> column{QRect(0, 0, 20, 10), QRect(0, 12, 20, 10), QRect(0, 14, 20, 10)};
  EXPECT_EQ(kavo::KeptLabels(column, {3, 3, 3}, false), (std::vector<bool>{true, false, true}));
}
