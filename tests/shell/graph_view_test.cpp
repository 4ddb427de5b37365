#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <cmath>

#include "MainWindowFixture.h"
#include "MainProbe.h"
#include "Records.h"
#include "data/Kavo_file.h"
#include "graph/PaintBox.h"
#include "messages/StatusPanels.h"

namespace kavo::test {
namespace {

class GraphViewTest : public MainWindowTest {
 protected:
  // A converted full-band woofer measurement as the main set.
  void LoadMeasurement(double fs = 50.0, double peak = 30.0) {
    FillBand(TFormMainProbe(main).mainData(), 1, [&](double f, double& r, double& t) { WooferModel(f, r, t, fs, peak); });
    ASSERT_TRUE(TFormMainProbe(main).fileHandler()->ConvertData(&TFormMainProbe(main).mainData(), &TFormMainProbe(main).rawValues(), &TFormMainProbe(main).aveValues()));
    TFormMainProbe(main).mainData().valid = 1;
  }
  void LoadReference(int k, int band, double peak) {
    FillBand(TFormMainProbe(main).refData()[k], band, [&](double f, double& r, double& t) { WooferModel(f, r, t, 80.0, peak); });
    ASSERT_TRUE(TFormMainProbe(main).fileHandler()->ConvertData(&TFormMainProbe(main).refData()[k], &TFormMainProbe(main).refRawValues()[k], &TFormMainProbe(main).refAveValues()[k]));
    TFormMainProbe(main).refData()[k].valid = 1;
    TFormMainProbe(main).refCount() = k + 1;
  }
  QString Label(int slot) const { return TFormMainProbe(main).axisLabels()[static_cast<size_t>(slot)]->text(); }
};

TEST_F(GraphViewTest, BandBoxZoomsButScalesComeFromTheWholeMeasurement) {
  Start();
  LoadMeasurement(50.0, 80.0);  // peak at 50 Hz, far below band 4
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(3);
  main->ComboBox2Change();
  EXPECT_EQ(TFormMainProbe(main).graphScale().band, 4);
  EXPECT_EQ(TFormMainProbe(main).graphScale().freqMin, 2000);
  EXPECT_EQ(TFormMainProbe(main).graphScale().freqMax, 20000);
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 100.0f);
  EXPECT_EQ(Label(24), QStringLiteral("2k"));
  EXPECT_EQ(Label(0), QStringLiteral("100.0"));
  // The curve is drawn: the R pen colour (blue) appears in the picture.
  const QImage& picture = TFormMainProbe(main).graphPlotter()->Bitmap();
  int blue = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      if (picture.pixelColor(x, y) == QColor(0, 0, 255)) ++blue;
  EXPECT_GT(blue, 50);
}

TEST_F(GraphViewTest, EmptyBandChangeDrawsTheNewAxis) {
  Start();
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(2);
  main->ComboBox2Change();
  EXPECT_EQ(TFormMainProbe(main).graphScale().freqMin, 250);
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 10.0f);
  EXPECT_EQ(Label(24), QStringLiteral("300"));
  EXPECT_EQ(Label(12), QStringLiteral("+ 45"));
}

TEST_F(GraphViewTest, ResizePlacesTheControls) {
  Start();
  main->show();
  main->resize(900, 700);
  const int client = main->centralWidget()->height() + TFormMainProbe(main).StatusBar1()->height();
  EXPECT_EQ(TFormMainProbe(main).PaintBox1()->geometry(), QRect(64, 24, main->width() - 140, client - 120));
  EXPECT_EQ(TFormMainProbe(main).MStartBtn()->pos(), QPoint(64, client - 60));
  EXPECT_EQ(TFormMainProbe(main).QuitBtn()->x() + TFormMainProbe(main).QuitBtn()->width(), 64 + TFormMainProbe(main).PaintBox1()->width());
  EXPECT_EQ(TFormMainProbe(main).QuitBtn()->y(), client - 60);
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->pos(), QPoint(64 + TFormMainProbe(main).MStartBtn()->width() + 20, client - 58));
  EXPECT_EQ(TFormMainProbe(main).graphPlotter()->Bitmap().width(), TFormMainProbe(main).PaintBox1()->width() - 2);
  EXPECT_EQ(TFormMainProbe(main).view().width, main->width());
  EXPECT_EQ(TFormMainProbe(main).statusLayoutPending(), 1);
}

TEST_F(GraphViewTest, ClickReadsOutTheReceivedValues) {
  Start();
  main->show();
  LoadMeasurement();
  main->mRedrawGraph();
  // The column of slot 200's frequency on the 20 Hz .. 20 kHz axis.
  const float L0 = std::log10(20.0f), L1 = std::log10(20000.0f);
  const int width = TFormMainProbe(main).PaintBox1()->width();
  const double f200 = TFormMainProbe(main).rawValues().Freq[200];
  const int x = static_cast<int>(std::lround((std::log10(f200) - L0) / (L1 - L0) * width));
  main->PaintBox1MouseDown(x, 10);
  const int k = TFormMainProbe(main).mFindPointIndex(
      static_cast<float>(std::pow(10.0, static_cast<double>(x) * (L1 - L0) / width + L0)));
  ASSERT_NE(k, 999);
  const PointText& record = TFormMainProbe(main).mainData().points[k];
  EXPECT_EQ(TFormMainProbe(main).StatusBar1()->PanelText(2), QStringLiteral("周波数：") + TFormMain::mFormatFrequency(record) +
                                                 QStringLiteral(" / ") + TFormMain::mFormatResistance(record) +
                                                 QStringLiteral(" / ") + TFormMain::mFormatPhase(record));
  EXPECT_NEAR(k, 200, 1);

  // No valid data: a click changes nothing.
  TFormMainProbe(main).StatusBar1()->SetPanel(2, QString(), 110);
  TFormMainProbe(main).mainData().valid = 0;
  main->PaintBox1MouseDown(x, 10);
  EXPECT_TRUE(TFormMainProbe(main).StatusBar1()->PanelText(2).isEmpty());
}

TEST_F(GraphViewTest, ViewOptionsWithReferencesOnly) {
  Start();
  LoadReference(0, 1, 40.0);
  main->mRedrawGraph();
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 50.0f);
  const QImage before = TFormMainProbe(main).graphPlotter()->Bitmap().copy();
  main->MenuGraph_WideClick();
  EXPECT_TRUE(TFormMainProbe(main).MenuGraph_Wide()->isChecked());
  EXPECT_EQ(TFormMainProbe(main).graphPlotter()->Bitmap(), before);  // only the mark changed

  main->MenuGraph_AveClick();
  EXPECT_FALSE(TFormMainProbe(main).MenuGraph_Ave()->isChecked());
  EXPECT_EQ(TFormMainProbe(main).graphScale().refs[0], &TFormMainProbe(main).refRawValues()[0]);
  EXPECT_EQ(TFormMainProbe(main).graphScale().data, &TFormMainProbe(main).rawValues());

  main->MenuGraph_R_onlyClick();
  EXPECT_TRUE(TFormMainProbe(main).MenuGraph_R_only()->isChecked());
  EXPECT_FALSE(TFormMainProbe(main).axisLabels()[12]->isVisible());
  EXPECT_FALSE(TFormMainProbe(main).axisLabels()[12]->text().isEmpty());  // hidden, text kept
}

TEST_F(GraphViewTest, MeasurementAndReferenceShareTheLargerScale) {
  Start();
  LoadMeasurement(50.0, 30.0);
  LoadReference(0, 2, 140.0);
  main->mRedrawGraph();
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 150.0f);
  TFormMainProbe(main).refData()[0].valid = 0;
  main->mRedrawGraph();
  EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, 50.0f);
}

}  // namespace
}  // namespace kavo::test
