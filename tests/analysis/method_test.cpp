// The peak search and the parameter arithmetic on curves made slot by slot.
#include <gtest/gtest.h>

#include <cmath>
#include <QStringList>
#include <limits>

#include "analysis/windows/AnalysisTexts.h"
#include "analysis_fixture.h"

namespace kavo::test {
namespace {

constexpr int32_t Low = 2;  // band of slots 0..143

// R: 8 Ω flat, rising 1.6 Ω a slot to 32 Ω at slot 50, falling 1 Ω a slot
// back to 8 Ω. F(k) = k Hz, so R passes 16 Ω at 40 Hz and 62.5 Hz.
double Triangle(int k) {
  if (k <= 50) return std::max(8.0, 32.0 - (50 - k) * 1.6);
  return std::max(8.0, 28.5 - (k - 50));
}
double Hz(int k) { return k; }

// A spike the sharp test sees: c, c±3 and c±6 raised above the base.
std::map<int, double> Spike(int c, double top, std::map<int, double> into = {}) {
  into[c] = top;
  into[c - 3] = into[c + 3] = top / 2;
  into[c - 6] = into[c + 6] = top / 4;
  return into;
}

// A wide hump the broad test sees, centred on slot c.
double Hump(int k, int c) { return 2.0 + 5.0 * std::exp(-std::pow((k - c) / 25.0, 2)); }

TEST(TsMethod, WorkedExampleGivesTheTableValues) {
  Curve c(Low, Triangle, Hz);
  ASSERT_EQ(c.Peaks(), std::vector<int>{50});
  EXPECT_EQ(c.analysis.peakR, 32.0f);
  EXPECT_EQ(c.analysis.peakF, 50.0f);

  TSResult r;
  ASSERT_EQ(c.analysis.CalcTS(8.0f, r), TsFailure::None);
  EXPECT_EQ(r.Re, 8.0f);
  EXPECT_EQ(r.Rmax, 32.0f);
  EXPECT_EQ(r.Fs, 50.0f);
  EXPECT_EQ(r.r0, 4.0f);
  EXPECT_EQ(r.Rx, 16.0f);
  EXPECT_EQ(r.f1, 40.0f);
  EXPECT_EQ(r.f2, 62.5f);
  EXPECT_FLOAT_EQ(r.Qms, 100.0f / 22.5f);
  EXPECT_FLOAT_EQ(r.Qes, 100.0f / 22.5f / 3.0f);
  EXPECT_FLOAT_EQ(r.Qts, 100.0f / 22.5f / 4.0f);
  const QStringList shown = {FormatTSValue(r.Fs), FormatTSValue(r.Qms), FormatTSValue(r.Qes),
                             FormatTSValue(r.Qts)};
  EXPECT_EQ(shown, QStringList({"50.00", "4.44", "1.48", "1.11"}));
}

TEST(TsMethod, F1AndF2AreInterpolatedLinearlyInHz) {
  struct Case {
    const char* what;
    std::map<int, double> r;
    double f1, f2;
  };
  // F(k) = 2k Hz; peak 32 Ω; Re 8 gives Rx 16.
  const Case cases[] = {
      {"crossings inside the slopes",
       {{14, 10}, {17, 12}, {20, 15.5}, {21, 17.5}, {22, 21}, {23, 25}, {24, 28.5}, {25, 32}, {26, 29},
        {27, 26}, {28, 23}, {29, 20}, {30, 16.5}, {31, 14.5}, {33, 12}, {36, 10}},
       40.5, 60.5},
      {"the neighbours of the peak already below Rx",
       {{19, 9}, {22, 10}, {24, 12}, {25, 32}, {26, 12}, {28, 10}, {31, 9}},
       48.4, 51.6},
  };
  for (const Case& c : cases) {
    Curve curve(Low, Points(c.r, 8.0), [](int k) { return 2.0 * k; });
    ASSERT_EQ(curve.Peaks(), std::vector<int>{25}) << c.what;
    TSResult r;
    ASSERT_EQ(curve.analysis.CalcTS(8.0f, r), TsFailure::None) << c.what;
    EXPECT_FLOAT_EQ(r.f1, float(c.f1)) << c.what;
    EXPECT_FLOAT_EQ(r.f2, float(c.f2)) << c.what;
  }
}

TEST(TsMethod, RefusalsAndFailuresKeepWhatTheyMust) {
  const float inf = std::numeric_limits<float>::infinity();
  struct Case {
    const char* what;
    std::function<double(int)> r, f;
    float re;
    TsFailure failure;
    bool headWritten;  // Re, Rmax, Fs, r0, Rx of this attempt
  };
  const Case cases[] = {
      {"Re 0", Triangle, Hz, 0.0f, TsFailure::BadRe, false},
      {"Re negative", Triangle, Hz, -8.0f, TsFailure::BadRe, false},
      {"Re equal to the peak", Triangle, Hz, 32.0f, TsFailure::BadRe, false},
      {"Re above the peak", Triangle, Hz, 40.0f, TsFailure::BadRe, false},
      {"Re not a number", Triangle, Hz, std::nanf(""), TsFailure::BadRe, false},
      {"Re infinite", Triangle, Hz, inf, TsFailure::BadRe, false},
      {"Re so small r0 is no number", Triangle, Hz, 1e-40f, TsFailure::BadRe, false},
      // The peak as the window shows it, 61.79 for 61.7949: Qes would be 10^8.
      {"Re within 0.1 ohm", [](int k) { return Triangle(k) * 61.7949 / 32; }, Hz, 61.79f, TsFailure::BadRe, false},
      {"Rx below the curve's left end", Triangle, Hz, 1.0f, TsFailure::NoF1, true},
      {"right side never falls to Rx", [](int k) { return k > 50 ? std::max(20.0, Triangle(k)) : Triangle(k); },
       Hz, 8.0f, TsFailure::NoF2, true},
      {"all frequencies alike", Triangle, [](int) { return 50.0; }, 8.0f, TsFailure::SameF1F2, true},
      // sqrt(r0) * Fs / (f2 - f1) = 1e15 * 1e30 / 1e-7 is no float.
      {"a Q that is no number",
       Points({{44, .25}, {45, .3}, {46, .4}, {47, .5}, {48, .6}, {49, .9}, {50, 1}, {51, .9}, {52, .6},
               {53, .5}, {54, .4}, {55, .3}, {56, .25}},
              0.0),
       [](int k) { return k == 50 ? 1e30 : k < 50 ? 1.0 : 1.0000001; }, 1e-30f, TsFailure::SameF1F2, true},
  };
  for (const Case& c : cases) {
    Curve curve(Low, c.r, c.f);
    ASSERT_EQ(curve.analysis.peakCount, 1) << c.what;
    TSResult r;
    r.Re = r.Rmax = r.Fs = r.r0 = r.Rx = r.Qms = r.Qes = r.Qts = -7.0f;
    EXPECT_EQ(curve.analysis.CalcTS(c.re, r), c.failure) << c.what;
    EXPECT_EQ(r.Re == -7.0f, !c.headWritten) << c.what;
    EXPECT_EQ(r.Rx == -7.0f, !c.headWritten) << c.what;
    EXPECT_TRUE(r.Qms == -7.0f && r.Qes == -7.0f && r.Qts == -7.0f) << c.what;
  }
  TSResult r;  // 0.1 ohm below the peak is still taken, 0.09 not
  EXPECT_EQ(Curve(Low, Triangle, Hz).analysis.CalcTS(31.9f, r), TsFailure::None);
  EXPECT_EQ(Curve(Low, Triangle, Hz).analysis.CalcTS(31.91f, r), TsFailure::BadRe);
  EXPECT_EQ(TsFailureText(TsFailure::BadRe), QStringLiteral("Re の値が正しくありません"));
  EXPECT_EQ(TsFailureCaption(TsFailure::BadRe), QStringLiteral("Ts の計算"));
  EXPECT_EQ(TsFailureCaption(TsFailure::NoPeak), QStringLiteral("ピーク値の計算"));
}

TEST(TsMethod, PeakSearchRules) {
  struct Case {
    const char* what;
    std::function<double(int)> r;
    std::vector<int> peaks;
  };
  // Sharp tests hold at 40 (peak 45 in 34..46), 45 and 47 (peak 52 in
  // 41..53): 45 lies inside the 6 skipped slots, 47 is the next examined.
  const std::map<int, double> skip = {{34, 1.5}, {37, 2}, {40, 5},  {43, 2},  {46, 1.5}, {39, 1.5}, {42, 2},
                                      {45, 8},   {48, 2}, {51, 1.5}, {41, 1.5}, {44, 2},  {47, 4},   {50, 2},
                                      {53, 1.5}, {52, 9}};
  std::map<int, double> seven;
  for (int i = 0; i < 7; ++i) seven = Spike(20 + 15 * i, 10.0 + i, seven);
  const Case cases[] = {
      {"flat", [](int) { return 6.0; }, {}},
      {"noise below 0.1 ohm", [](int k) { return 6.0 + 0.09 * (k % 2); }, {}},
      {"one spike", Points(Spike(60, 20.0)), {60}},
      {"sharp skip of 6", Points(skip), {45, 52}},
      {"seven spikes, five listed", Points(seven), {20, 35, 50, 65, 80}},
      {"one hump", [](int k) { return Hump(k, 70); }, {70}},
      // The spike left of the hump is listed by the sharp test; the broad
      // test then finds that slot again (no row, no jump) until its window
      // has passed the spike and it finds the hump's top.
      {"spike, then hump",
       [](int k) { return Hump(k, 70) + Points({{47, 1.0}, {50, 8.0}, {53, 1.0}}, 0.0)(k); }, {50, 70}},
  };
  for (const Case& c : cases) {
    Curve curve(Low, c.r);
    EXPECT_EQ(curve.Peaks(), c.peaks) << c.what;
    if (!c.peaks.empty()) {
      EXPECT_EQ(curve.analysis.peakR, curve.raw.R[c.peaks[0]]) << c.what;
      EXPECT_EQ(curve.analysis.peakF, curve.raw.Freq[c.peaks[0]]) << c.what;
    } else {
      EXPECT_EQ(curve.analysis.peakR, 0.0f) << c.what;
      TSResult r;
      EXPECT_EQ(curve.analysis.CalcTS(8.0f, r), TsFailure::NoPeak) << c.what;
    }
  }
}

TEST(TsMethod, BroadPeakSkipsThirtySlots) {
  // The hump is found at slot n0; a spike whose test holds at n0 + 30 is
  // skipped, one at n0 + 31 is listed.
  Curve hump(Low, [](int k) { return Hump(k, 70); });
  int n0 = -1, slot = 0;
  for (int n = 0; n <= 143 && n0 < 0; ++n)
    if (hump.analysis.IsBroadPeak(n, slot)) n0 = n;
  ASSERT_GT(n0, 0);
  for (int offset : {30, 31}) {
    const int spike = n0 + offset;
    Curve c(Low, [&](int k) { return Hump(k, 70) + Points(Spike(spike, 4.0), 0.0)(k); });
    ASSERT_TRUE(c.analysis.IsSharpPeak(spike, slot)) << offset;
    ASSERT_TRUE(c.analysis.IsBroadPeak(n0, slot) && slot == 70) << offset;
    EXPECT_EQ(c.Peaks(), offset == 30 ? std::vector<int>{70} : std::vector<int>({70, spike})) << offset;
  }
}

TEST(TsMethod, CandidatesTooNearTheBandEndsAreNeverTested) {
  const int32_t band = 3;  // slots 143..263
  const int first = BandFirstSlot(band), last = BandLastSlot(band);
  int slot = 0;
  for (int margin : {5, 6}) {
    for (int c : {first + margin, last - margin}) {
      Curve curve(band, Points(Spike(c, 20.0)));
      EXPECT_EQ(curve.analysis.IsSharpPeak(c, slot), margin == 6) << c;
      EXPECT_EQ(curve.Peaks().size(), margin == 6 ? 1u : 0u) << c;
    }
  }
  for (int margin : {29, 30}) {
    for (int c : {first + margin, last - margin}) {
      Curve curve(band, [c](int k) { return Hump(k, c); });
      EXPECT_EQ(curve.analysis.IsBroadPeak(c, slot), margin == 30) << c;
    }
  }
}

TEST(TsMethod, Formats) {
  const std::pair<float, const char*> peak[] = {{0.5f, ".50"}, {0.0f, ".00"}, {45.0f, "45.00"}, {0.125f, ".13"},
                                                {1234.567f, "1234.57"}, {-0.5f, "-.50"}};
  for (const auto& [v, text] : peak) EXPECT_EQ(FormatPeakValue(v), QString::fromUtf8(text)) << v;
  const std::pair<float, const char*> table[] = {{0.456f, "0.46"}, {45.0f, "45.00"}, {0.5f, "0.50"},
                                                 {std::nanf(""), "---"},
                                                 {std::numeric_limits<float>::infinity(), "---"}};
  for (const auto& [v, text] : table) EXPECT_EQ(FormatTSValue(v), QString::fromUtf8(text)) << v;
}

}  // namespace
}  // namespace kavo::test
