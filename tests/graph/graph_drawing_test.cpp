// The plotter's picture, its labels and its print support, checked on pixels
// and on the labels' texts and positions.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <map>
#include <set>

#include "graph_fixture.h"
#include "platform/Look.h"

using namespace kavo;
using kavo::test::Bgr;
using kavo::test::CountColour;
using kavo::test::FillValues;
using kavo::test::GraphRig;
using kavo::test::VerticalRun;

namespace {

constexpr int32_t White = 0xFFFFFF;
constexpr int32_t Dark = 0x808080;
constexpr int32_t Light = 0xC0C0C0;

// Grid colour of every non-white column of one image row.
std::map<int, int32_t> RowColours(const QImage& img, int y) {
  std::map<int, int32_t> cols;
  for (int x = 0; x < img.width(); ++x)
    if (Bgr(img, x, y) != White) cols[x] = Bgr(img, x, y);
  return cols;
}

int GridColumn(const GraphRig& rig, double f) {
  return kavo::MakeFreqAxis(rig.scale.freqMin, rig.scale.freqMax).Column(f, rig.W());
}

auto Flat(float v) {
  return [v](float) { return v; };
}

// Columns that hold colour `bgr` anywhere.
std::set<int> ColumnsWith(const QImage& img, int32_t bgr) {
  std::set<int> cols;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (Bgr(img, x, y) == bgr) cols.insert(x);
  return cols;
}

}  // namespace

TEST(GraphPicture, SizesFollowThePaintArea) {
  GraphRig rig;
  EXPECT_EQ(rig.W(), 500);
  EXPECT_EQ(rig.H(), 300);
  EXPECT_EQ(rig.plotter->FrameRect(), QRect(0, 0, 502, 302));
  EXPECT_EQ(rig.plotter->DestRect(), QRect(1, 1, 500, 300));
  EXPECT_EQ(rig.plotter->SrcRect(), QRect(0, 0, 500, 300));
  rig.box->resize(402, 202);
  rig.plotter->Resize();
  EXPECT_EQ(rig.Bitmap().size(), QSize(400, 200));
  EXPECT_EQ(rig.plotter->DestRect(), QRect(1, 1, 400, 200));
  // A collapsed area still leaves a paintable bitmap.
  rig.box->resize(1, 0);
  rig.plotter->Resize();
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  EXPECT_FALSE(rig.Bitmap().isNull());
}

TEST(GraphPicture, Band1GridIsDarkOnlyAtDecades) {
  GraphRig rig;
  rig.plotter->Clear();
  std::map<int, int32_t> expected;
  for (double g = kavo::NextGridFreq(20); g < 20000; g = kavo::NextGridFreq(g))
    expected[GridColumn(rig, g)] = (g == 100 || g == 1000 || g == 10000) ? Dark : Light;
  ASSERT_EQ(expected.size(), 29u);  // 30 .. 15000, every column distinct
  EXPECT_EQ(RowColours(rig.Bitmap(), 45), expected);
  EXPECT_EQ(RowColours(rig.Bitmap(), 299), expected);  // lines run to the bottom
  EXPECT_EQ(Bgr(rig.Bitmap(), GridColumn(rig, 1000), 0), Dark);
}

TEST(GraphPicture, Band3GridSkipsTheAxisEnds) {
  GraphRig rig;
  rig.SetBand(3);
  rig.plotter->Clear();
  const auto cols = RowColours(rig.Bitmap(), 45);
  std::map<int, int32_t> expected;
  for (int f : {300, 400, 500, 600, 700, 800, 900, 1500}) expected[GridColumn(rig, f)] = Light;
  expected[GridColumn(rig, 1000)] = Dark;
  EXPECT_EQ(cols, expected);
  EXPECT_EQ(cols.count(0), 0u);  // no line at 250 Hz
  EXPECT_EQ(cols.count(rig.W() - 1), 0u);  // nor at 2000 Hz
}

TEST(GraphPicture, LevelLinesAndMiddleLine) {
  GraphRig rig;
  rig.plotter->Clear();
  const int x = 1;  // left of the first vertical line
  for (int y = 0; y < rig.H(); ++y) {
    const int32_t c = Bgr(rig.Bitmap(), x, y);
    if (y % 30 == 0 && y > 0) {
      EXPECT_EQ(c, y == 150 ? Dark : Light) << y;
    } else {
      EXPECT_EQ(c, White) << y;
    }
  }
}

TEST(GraphPicture, PaintEventFramesAndCopiesTheBitmap) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(20.0f));
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, true);
  const QImage shown = rig.box->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(502, 302));
  for (int x = 0; x < 502; ++x) {
    EXPECT_EQ(Bgr(shown, x, 0), 0);
    EXPECT_EQ(Bgr(shown, x, 301), 0);
  }
  for (int y = 0; y < 302; ++y) {
    EXPECT_EQ(Bgr(shown, 0, y), 0);
    EXPECT_EQ(Bgr(shown, 501, y), 0);
  }
  EXPECT_EQ(shown.copy(1, 1, 500, 300), rig.Bitmap());
}

TEST(GraphPicture, GapsWhereSlotsHaveNoValue) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(12.5f), Flat(0.0f));
  for (int i = 100; i <= 110; ++i) rig.main.R[i] = -1.0f;
  rig.main.R[105] = 12.5f;  // one lonely point between unmeasured ones
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(true, false);
  const std::set<int> cols = ColumnsWith(rig.Bitmap(), rig.colours.PenColor_R);
  const int gapFrom = GridColumn(rig, rig.main.Freq[99]);
  const int gapTo = GridColumn(rig, rig.main.Freq[111]);
  ASSERT_GT(gapTo - gapFrom, 8);
  for (int x = gapFrom + 2; x <= gapTo - 2; ++x) EXPECT_EQ(cols.count(x), 0u) << x;
  EXPECT_EQ(cols.count(gapFrom - 3), 1u);
  EXPECT_EQ(cols.count(gapTo + 3), 1u);
}

TEST(GraphPicture, ValuesOutsideTheScalesClipToTheEdges) {
  GraphRig rig;
  rig.scale.rMax = 25.0f;
  rig.scale.thetaMin = -45.0f;
  rig.scale.thetaMax = 45.0f;
  rig.main.valid = 1;
  // Two far-apart points, so the line's slope shows where its end was put.
  rig.main.Freq[200] = 100.0f;
  rig.main.Freq[201] = 10000.0f;
  rig.main.R[200] = 12.5f;
  rig.main.R[201] = 50.0f;  // above rMax: the line ends on row −1
  rig.main.Theta[200] = 0.0f;
  rig.main.Theta[201] = -300.0f;  // below thetaMin: the line ends on the bottom row
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  const QImage& img = rig.Bitmap();
  const int x2 = GridColumn(rig, 10000.0);
  int rTop = -1, thetaBottom = -1;
  for (int x = 0; x < rig.W(); ++x) {
    if (rTop < 0 && Bgr(img, x, 0) == rig.colours.PenColor_R) rTop = x;
    if (thetaBottom < 0 && Bgr(img, x, rig.H() - 1) == rig.colours.PenColor_Theta) thetaBottom = x;
  }
  // Unclipped, the R line would cross row 0 near column 260 and the θ line
  // the bottom row near column 210.
  EXPECT_GE(rTop, x2 - 6);  // the row holds the last ~2 px of a shallow line
  EXPECT_LE(rTop, x2);
  EXPECT_GE(thetaBottom, x2 - 6);
  EXPECT_LE(thetaBottom, x2);
}

TEST(GraphPicture, WhichSetsAreDrawn) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(10.0f));
  FillValues(rig.refs[0], 1, Flat(5.0f), Flat(-10.0f));
  FillValues(rig.refs[1], 1, Flat(15.0f), Flat(-20.0f));
  rig.refs[1].valid = 0;
  const int32_t mainR = rig.colours.PenColor_R;
  const int32_t ref0R = rig.colours.PenColor_R_Ref[0];
  const int32_t ref0T = rig.colours.PenColor_Theta_Ref[0];
  const int32_t ref1R = rig.colours.PenColor_R_Ref[1];

  rig.main.valid = 0;  // no valid measurement: DrawAll draws no reference either
  rig.plotter->Clear();
  rig.plotter->DrawAll(false, false);
  EXPECT_EQ(CountColour(rig.Bitmap(), mainR), 0);
  EXPECT_EQ(CountColour(rig.Bitmap(), ref0R), 0);

  rig.plotter->DrawReferences(false);  // valid references only, no main set
  EXPECT_EQ(CountColour(rig.Bitmap(), mainR), 0);
  EXPECT_GT(CountColour(rig.Bitmap(), ref0R), 400);
  EXPECT_GT(CountColour(rig.Bitmap(), ref0T), 400);
  EXPECT_EQ(CountColour(rig.Bitmap(), ref1R), 0);

  rig.main.valid = 1;
  rig.plotter->Clear();
  rig.plotter->DrawAll(true, false);  // rOnly: no θ curve of any set
  EXPECT_GT(CountColour(rig.Bitmap(), mainR), 400);
  EXPECT_GT(CountColour(rig.Bitmap(), ref0R), 400);
  EXPECT_EQ(CountColour(rig.Bitmap(), rig.colours.PenColor_Theta), 0);
  EXPECT_EQ(CountColour(rig.Bitmap(), ref0T), 0);
  EXPECT_EQ(CountColour(rig.Bitmap(), ref1R), 0);

  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  EXPECT_GT(CountColour(rig.Bitmap(), rig.colours.PenColor_Theta), 400);
  EXPECT_EQ(CountColour(rig.Bitmap(), ref0R), 0);
}

TEST(GraphPicture, OverlaysByOwnerUnderAndOverTheCurves) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(0.0f));
  constexpr int32_t Under = 0x336699, Over = 0x996633, Other = 0x123456;
  const auto fill = [](int32_t bgr) {
    return [bgr](QPainter& p, const GraphMapping& m) { p.fillRect(0, 0, m.width, m.height, ColorFromBgr(uint32_t(bgr))); };
  };
  int a = 0, b = 0;
  GraphMapping seen;
  rig.plotter->AddOverlay(&a, fill(Under), Graph_RTF::OverlayLayer::UnderCurves);
  rig.plotter->AddOverlay(&b, [&](QPainter& p, const GraphMapping& m) {
    seen = m;
    p.fillRect(m.width / 2, 0, 10, 10, ColorFromBgr(uint32_t(Over)));
  });
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  // The curves over the under layer, the over layer on top of all.
  EXPECT_GT(CountColour(rig.Bitmap(), Under), rig.W() * rig.H() / 2);
  EXPECT_GT(CountColour(rig.Bitmap(), rig.colours.PenColor_R), 400);
  EXPECT_EQ(Bgr(rig.Bitmap(), rig.W() / 2 + 5, 5), Over);
  EXPECT_EQ(seen.width, rig.W());
  EXPECT_EQ(seen.X(20.0), 0);
  EXPECT_EQ(seen.YR(10.0f), kavo::RRow(10.0f, rig.scale.rMax, rig.H()));
  // References alone: the under layer only.
  rig.plotter->DrawReferences(false);
  EXPECT_EQ(CountColour(rig.Bitmap(), Over), 0);
  // The same owner replaces its overlay; a removed one is gone.
  rig.plotter->AddOverlay(&a, fill(Other), Graph_RTF::OverlayLayer::UnderCurves);
  rig.plotter->DrawMeasurement(false, false);
  EXPECT_EQ(CountColour(rig.Bitmap(), Under), 0);
  EXPECT_GT(CountColour(rig.Bitmap(), Other), 0);
  rig.plotter->RemoveOverlay(&a);
  rig.plotter->RemoveOverlay(&b);
  EXPECT_FALSE(rig.plotter->HasOverlay(&a));
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  EXPECT_EQ(CountColour(rig.Bitmap(), Other) + CountColour(rig.Bitmap(), Over), 0);
}

TEST(GraphPicture, ReferencesUseTheBandShown) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(0.0f));
  FillValues(rig.refs[0], 3, Flat(5.0f), Flat(0.0f));  // a mid-band reference
  rig.plotter->Clear();
  rig.plotter->DrawAll(true, false);
  const std::set<int> cols = ColumnsWith(rig.Bitmap(), rig.colours.PenColor_R_Ref[0]);
  ASSERT_FALSE(cols.empty());
  EXPECT_NEAR(*cols.begin(), GridColumn(rig, 250), 1);
  EXPECT_NEAR(*cols.rbegin(), GridColumn(rig, 2000), 1);
}

TEST(GraphPicture, SweepDrawsSegmentBySegment) {
  GraphRig rig;
  rig.SetBand(3);
  FillValues(rig.main, 3, Flat(10.0f), Flat(0.0f));
  rig.main.valid = 0;  // a running sweep: the flag is not consulted
  const int first = BandFirstSlot(3);
  const int32_t r = rig.colours.PenColor_R;

  rig.plotter->Clear();
  rig.plotter->DrawMeasurementSoFar(true, 0, false);
  EXPECT_EQ(CountColour(rig.Bitmap(), r), 0);
  rig.plotter->DrawMeasurementSoFar(true, 10, false);  // slots first .. first + 10
  std::set<int> cols = ColumnsWith(rig.Bitmap(), r);
  ASSERT_FALSE(cols.empty());
  EXPECT_NEAR(*cols.begin(), GridColumn(rig, rig.main.Freq[first]), 1);
  EXPECT_NEAR(*cols.rbegin(), GridColumn(rig, rig.main.Freq[first + 10]), 1);

  // The next point adds exactly its segment and leaves the labels alone.
  rig.plotter->DrawScales(false);
  const QString top = rig.L(0)->text();
  rig.scale.rMax = 50.0f;
  rig.plotter->DrawSegment(true, first + 11, false);
  cols = ColumnsWith(rig.Bitmap(), r);
  EXPECT_NEAR(*cols.rbegin(), GridColumn(rig, rig.main.Freq[first + 11]), 1);
  EXPECT_EQ(rig.L(0)->text(), top);

  // Nonsense indexes draw nothing and do not read outside the arrays.
  const QImage before = rig.Bitmap().copy();
  rig.plotter->DrawSegment(true, 0, false);
  rig.plotter->DrawSegment(true, -5, false);
  rig.plotter->DrawSegment(true, MaxPoints, false);
  rig.plotter->DrawMeasurementSoFar(true, -3, false);
  EXPECT_EQ(rig.Bitmap(), before);
  rig.plotter->DrawMeasurementSoFar(true, 100000, false);  // clipped to the arrays
}

TEST(GraphPicture, ScreenPenWidths) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(20.0f));
  FillValues(rig.refs[2], 1, Flat(5.0f), Flat(-20.0f));
  const int x = 250;
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, false);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_R), 1);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_Theta), 1);
  rig.plotter->Clear();
  rig.plotter->DrawMeasurement(false, true);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_R), 2);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_Theta), 2);
  rig.plotter->Clear();
  rig.plotter->DrawAll(false, true);  // wide affects the main set only
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_R), 2);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_R_Ref[2]), 1);
  EXPECT_EQ(VerticalRun(rig.Bitmap(), x, rig.colours.PenColor_Theta_Ref[2]), 1);
}

TEST(GraphPrint, PrintPensAndUntouchedScreen) {
  GraphRig rig;
  FillValues(rig.main, 1, Flat(10.0f), Flat(20.0f));
  FillValues(rig.refs[0], 1, Flat(5.0f), Flat(-20.0f));
  rig.plotter->Clear();
  rig.plotter->DrawAll(false, true);
  const QImage screen = rig.Bitmap().copy();
  std::vector<std::pair<QString, QRect>> labels;
  for (QLabel* l : rig.labels) labels.emplace_back(l->text(), l->geometry());

  QImage page(1600, 1200, QImage::Format_RGB32);
  const int x = 800;
  auto run = [&](int32_t c) { return VerticalRun(page, x, c); };
  rig.plotter->RenderForPrint(page, false, false, false);
  EXPECT_EQ(run(rig.colours.PenColor_R), 5);
  EXPECT_EQ(run(rig.colours.PenColor_Theta), 5);
  EXPECT_EQ(run(rig.colours.PenColor_R_Ref[0]), 0);
  rig.plotter->RenderForPrint(page, false, false, true);
  EXPECT_EQ(run(rig.colours.PenColor_R), 8);
  rig.plotter->RenderForPrint(page, false, true, true);  // with references the main set stays 5
  EXPECT_EQ(run(rig.colours.PenColor_R), 5);
  EXPECT_EQ(run(rig.colours.PenColor_R_Ref[0]), 2);
  EXPECT_EQ(run(rig.colours.PenColor_Theta_Ref[0]), 2);
  rig.plotter->RenderForPrint(page, true, true, false);
  EXPECT_EQ(CountColour(page, rig.colours.PenColor_Theta), 0);

  // Print grid: decade lines 4 wide, others 3, level lines 4.
  const auto axis = kavo::MakeFreqAxis(20, 20000);
  auto hrun = [&](int col, int y, int32_t c) {
    int n = 0;
    for (int xx = col - 6; xx <= col + 6; ++xx) n += Bgr(page, xx, y) == c;
    return n;
  };
  EXPECT_EQ(hrun(axis.Column(1000, 1600), 60, Dark), 4);
  EXPECT_EQ(hrun(axis.Column(300, 1600), 60, Light), 3);
  EXPECT_EQ(VerticalRun(page, 5, Light), 4);

  // The screen picture and the labels are as they were.
  EXPECT_EQ(rig.Bitmap(), screen);
  for (size_t i = 0; i < labels.size(); ++i) {
    EXPECT_EQ(rig.labels[i]->text(), labels[i].first) << i;
    EXPECT_EQ(rig.labels[i]->geometry(), labels[i].second) << i;
  }
  QImage none;
  rig.plotter->RenderForPrint(none, false, true, false);  // no target: nothing, no crash
  EXPECT_TRUE(none.isNull());
}

TEST(GraphLabels, Band1TextsAndPositions) {
  GraphRig rig;
  rig.scale.rMax = 15.0f;
  rig.scale.thetaMin = -45.0f;
  rig.scale.thetaMax = 45.0f;
  rig.plotter->DrawScales(false);
  const int left = GraphRig::Left, top = GraphRig::Top;
  const int right = left + 502, bottom = top + 302;

  const QStringList freqs{"20", "30", "100", "300", "1k", "3k", "10k", "20k"};
  const double freqValues[] = {20, 30, 100, 300, 1000, 3000, 10000, 20000};
  for (int j = 0; j < 10; ++j) {
    QLabel* l = rig.L(24 + j);
    if (j < freqs.size()) {
      EXPECT_EQ(l->text(), freqs[j]);
      EXPECT_FALSE(l->isHidden());
      EXPECT_EQ(l->size(), l->sizeHint());  // sized to its text
      EXPECT_EQ(l->x(), left + GridColumn(rig, freqValues[j]) - l->width() / 2 + 2) << j;
      EXPECT_EQ(l->y(), bottom + 5);
    } else {
      EXPECT_EQ(l->text(), "");
      EXPECT_TRUE(l->isHidden());
    }
  }
  QLabel* hz = rig.L(34);
  EXPECT_EQ(hz->text(), "[Hz]");
  EXPECT_EQ(hz->x(), right - hz->width() / 2);
  EXPECT_EQ(hz->y(), bottom + 5 + hz->height());

  for (int i = 0; i <= 10; ++i) {
    QLabel* l = rig.L(i);
    EXPECT_EQ(l->text(), kavo::RLabelText(15.0f, i));
    EXPECT_EQ(l->x(), left - l->width() - 5);
    EXPECT_EQ(l->y(), top + 300 * i / 10 - l->height() / 2 + 2);
    QLabel* t = rig.L(12 + i);
    EXPECT_EQ(t->text(), kavo::FormatThetaLabel(45 - 9 * i));
    EXPECT_EQ(t->x(), right + 5);
    EXPECT_EQ(t->y(), top + 300 * i / 10 - t->height() / 2 + 2);
  }
  EXPECT_EQ(rig.L(0)->text(), "15.0");
  EXPECT_EQ(rig.L(12)->text(), "+ 45");
  EXPECT_EQ(rig.L(11)->text(), "[Ω]");
  EXPECT_EQ(rig.L(11)->pos(), QPoint(left, top - rig.L(11)->height() - 2));
  EXPECT_EQ(rig.L(23)->text(), "[deg]");
  EXPECT_EQ(rig.L(23)->pos(), QPoint(right - rig.L(23)->width() - 5, top - rig.L(23)->height() - 2));
}

TEST(GraphLabels, BandChangeHidesUnusedFrequencySlotsAndROnlyKeepsThetaTexts) {
  GraphRig rig;
  rig.plotter->DrawScales(false);
  rig.SetBand(3);
  rig.plotter->DrawScales(true);
  QStringList texts;
  for (int j = 0; j < 10; ++j) {
    texts << rig.L(24 + j)->text();
    EXPECT_EQ(rig.L(24 + j)->isHidden(), j >= 4) << j;
  }
  EXPECT_EQ(texts, (QStringList{"300", "500", "1k", "2k", "", "", "", "", "", ""}));
  // rOnly: θ slots hidden, their texts from the last full drawing kept.
  for (int slot = 12; slot <= 23; ++slot) EXPECT_TRUE(rig.L(slot)->isHidden()) << slot;
  EXPECT_EQ(rig.L(12)->text(), "+180");
  EXPECT_EQ(rig.L(23)->text(), "[deg]");
  rig.plotter->DrawScales(false);
  for (int slot = 12; slot <= 23; ++slot) EXPECT_FALSE(rig.L(slot)->isHidden()) << slot;
}

TEST(GraphLabels, MissingSlotsAreSkipped) {
  QWidget window;
  window.resize(640, 480);
  PaintBox* box = new PaintBox(&window);
  box->setGeometry(64, 24, 500, 360);
  LabelSlots labels{};  // every slot empty
  labels[5] = new QLabel(&window);
  SettingsRecord colours;
  GraphScale scale;
  Graph_RTF plotter(box, &colours, labels, &scale);
  plotter.DrawScales(false);
  EXPECT_EQ(labels[5]->text(), "12.5");
  Graph_RTF::LevelPositions xs, ys;
  xs.fill(-1);
  ys.fill(-1);
  plotter.PrintThetaLabelPositions(xs, ys, 2.0f, 1000, 20, 900, 100);
  EXPECT_EQ(xs[11], 890);  // width 0 for a missing "[deg]" label

  // No paint area and no scale record: every operation is a harmless no-op.
  Graph_RTF bare(nullptr, &colours, labels, nullptr);
  bare.Resize();
  bare.Clear();
  bare.DrawAll(false, true);
  bare.DrawMeasurementSoFar(false, 5, false);
  bare.DrawSegment(false, 5, false);
  bare.DrawReferences(false);
  bare.Repaint();
  EXPECT_TRUE(bare.Bitmap().isNull());
  EXPECT_EQ(labels[5]->text(), "12.5");
}

TEST(GraphPrint, LabelPositionsOnASample) {
  GraphRig rig;
  rig.plotter->DrawScales(false);
  for (QLabel* l : rig.labels) l->resize(31, 13);
  const float factor = 6.25f;  // 600 dpi printer, 96 dpi screen
  const int fontHeight = 56, plotLeft = 590, plotTop = 354, plotWidth = 3779, plotHeight = 3129;
  const int plotRight = plotLeft + plotWidth, plotBottom = plotTop + plotHeight;

  Graph_RTF::LevelPositions xs, ys;
  xs.fill(-1);
  ys.fill(-1);
  rig.plotter->PrintRLabelPositions(xs, ys, plotHeight, factor, fontHeight, plotLeft, plotTop);
  EXPECT_EQ(xs[0], 333);  // 590 − 31 × 6.25 − 62.5 = 333.75
  EXPECT_EQ(ys[0], 326);
  EXPECT_EQ(ys[3], 354 + 938 - 28);
  EXPECT_EQ(ys[10], 354 + 3129 - 28);
  EXPECT_EQ(xs[11], 590);
  EXPECT_EQ(ys[11], 260);  // 354 − 81.25 − 12.5
  rig.plotter->PrintRLabelPositions(xs, ys, plotHeight, factor, fontHeight, 236, plotTop);
  EXPECT_EQ(xs[0], -20);  // −20.25 truncates toward zero

  xs.fill(-1);
  ys.fill(-1);
  rig.plotter->PrintThetaLabelPositions(xs, ys, factor, plotHeight, fontHeight, plotRight, plotTop);
  EXPECT_EQ(xs[4], 4431);  // 4369 + 62.5
  EXPECT_EQ(ys[4], 354 + 1251 - 28);
  EXPECT_EQ(xs[11], 4144);  // 4369 − 193.75 − 31.25
  EXPECT_EQ(ys[11], 260);

  Graph_RTF::FreqPositions fx, fy;
  fx.fill(-1);
  fy.fill(-1);
  rig.plotter->PrintFreqLabelPositions(fx, fy, fontHeight, plotWidth, factor, plotLeft, plotBottom);
  EXPECT_EQ(fx[0], 493);  // 590 + 0 − 96.875
  const auto axis = kavo::MakeFreqAxis(20, 20000);
  EXPECT_EQ(fx[4], int(590 + axis.Column(1000, plotWidth) - 96.875));
  EXPECT_NEAR(axis.Column(1000, plotWidth), 2140, 1);
  for (int j = 0; j < 8; ++j) EXPECT_EQ(fy[j], 3514) << j;  // 3483 + 31.25
  EXPECT_EQ(fx[8], -1);  // only eight labels on band 1
  EXPECT_EQ(fy[9], -1);
  EXPECT_EQ(fx[10], 4272);  // 4369 − 96.875
  EXPECT_EQ(fy[10], 3601);  // 3483 + 56 + 62.5
}

TEST(GraphPaintBox, MousePressIsPassedOn) {
  GraphRig rig;
  int gotX = -1, gotY = -1;
  Qt::MouseButton gotButton = Qt::NoButton;
  QObject::connect(rig.box, &PaintBox::MouseDown, [&](int x, int y, Qt::MouseButton b) {
    gotX = x;
    gotY = y;
    gotButton = b;
  });
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(123, 45), QPointF(123, 45), Qt::RightButton,
                    Qt::RightButton, Qt::ShiftModifier);
  QApplication::sendEvent(rig.box, &press);
  EXPECT_EQ(gotX, 123);
  EXPECT_EQ(gotY, 45);
  EXPECT_EQ(gotButton, Qt::RightButton);
  // Once the plotter is gone the area still paints, plain white.
  rig.plotter.reset();
  EXPECT_FALSE(rig.box->HasPaintHandler());
  const QImage shown = rig.box->grab().toImage();
  EXPECT_EQ(shown.pixel(100, 100), qRgb(255, 255, 255));
}
