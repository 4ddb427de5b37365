// "参照データ" → "許容範囲を表示..." by keyboard: the rules chosen in the
// scripted file dialog, their band shaded on the graph, and the verdict of
// each file opened afterwards in the status bar.
#include <QApplication>
#include <QMenu>
#include <QTest>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "Records.h"
#include "UnitModel.h"
#include "data/Kavo_file.h"
#include "graph/ToleranceBand.h"
#include "messages/StatusPanels.h"
#include "platform/Look.h"

namespace kavo::test {
namespace {

QString Driver(const TempDir& dir, const char* name, double fs) {
  kavsim::DriverModel m;
  m.Fs = fs;
  MeasureData data;
  EXPECT_TRUE(FillFromUnit(data, m));
  SettingsRecord settings;
  const QString path = dir.Path(QString::fromUtf8(name));
  EXPECT_TRUE(KAVO_File().WriteDataFile(path, "0815", &settings, &data));
  return path;
}

// Pixels of the band's shade over the white graph: the reference pen's
// colour at the shade's alpha.
int Shaded(TFormMain* main, bool theta = false) {
  TFormMainProbe probe(main);
  const int32_t pen = theta ? probe.settings().PenColor_Theta_Ref[0] : probe.settings().PenColor_R_Ref[0];
  const QColor shade = ToleranceShade(ColorFromBgr(uint32_t(pen)));
  const double a = shade.alphaF();
  auto blend = [a](int c) { return int(c * a + 255 * (1 - a) + 0.5); };
  const QImage& bitmap = probe.graphPlotter()->Bitmap();
  int shaded = 0;
  for (int y = 0; y < bitmap.height(); ++y)
    for (int x = 0; x < bitmap.width(); ++x) {
      const QColor c = bitmap.pixelColor(x, y);
      shaded += std::abs(c.red() - blend(shade.red())) + std::abs(c.green() - blend(shade.green())) +
                    std::abs(c.blue() - blend(shade.blue())) <= 6;
    }
  return shaded;
}

using QcWindowTest = MainWindowTest;

TEST_F(QcWindowTest, TheBandByKeyboardAndThePassOrFailOfEachFileOpened) {
  Start();
  TFormMainProbe probe(main);
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  Driver(dir, "ref.DTA", 42);
  const QString good = Driver(dir, "good.DTA", 42.4), bad = Driver(dir, "bad.DTA", 47);
  ASSERT_TRUE(WriteAll(dir.Path("woofer.kqc"), "reference = ref.DTA\nre = 5.6\nR = 10%\nFs = 5%\n"));
  main->mOpenDataFile(good);
  EXPECT_LT(Shaded(main), 20);

  modal->fileAnswers.push_back(dir.Path("woofer.kqc"));
  QTest::keyClick(main, Qt::Key_R, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activePopupWidget() == probe.MenuRef(); }));
  QTest::keyClick(probe.MenuRef(), Qt::Key_T);
  ASSERT_TRUE(PumpUntil([&] { return !modal->calls.empty() && QApplication::activePopupWidget() == nullptr; }));
  ASSERT_FALSE(modal->calls.empty());
  EXPECT_EQ(modal->calls.back().kind, ModalKind::OpenFile);
  EXPECT_TRUE(modal->calls.back().filter.endsWith("*.kqc"));
  EXPECT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('|').toStdString();

  EXPECT_GT(Shaded(main), probe.graphPlotter()->Bitmap().width() * 2) << "no band on the graph";
  EXPECT_EQ(probe.StatusBar1()->PanelText(1), QStringLiteral("合格"));

  main->mOpenDataFile(bad);
  EXPECT_TRUE(probe.StatusBar1()->PanelText(1).startsWith(QStringLiteral("不合格：R が "))) << probe.StatusBar1()->PanelText(1).toStdString();
  main->mOpenDataFile(good);
  EXPECT_EQ(probe.StatusBar1()->PanelText(1), QStringLiteral("合格"));
}

// Alt+R then a menu item's letter, or (letter 0) the item `downs` places down.
void MenuKeys(TFormMain* main, QWidget* menu, Qt::Key letter, int downs = 0) {
  QTest::keyClick(main, Qt::Key_R, Qt::AltModifier);
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activePopupWidget() == menu; }));
  if (letter) {
    QTest::keyClick(menu, letter);
  } else {
    for (int i = 0; i < downs; ++i) QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  }
  ASSERT_TRUE(PumpUntil([&] { return QApplication::activePopupWidget() == nullptr; }));
}

TEST_F(QcWindowTest, TheVerdictFitsItsPaneTheReasonIsOneKeyAwayAndTheBandGoesByKeyboard) {
  Start();
  TFormMainProbe probe(main);
  main->show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(main));
  const QString a = Driver(dir, "a.DTA", 42), b = Driver(dir, "b.DTA", 42.2), bad = Driver(dir, "bad.DTA", 49);
  ASSERT_TRUE(WriteAll(dir.Path("mean.kqc"), "reference = mean\nR = 10%\ntheta = 5 deg\n"));
  main->mOpenDataFile(bad);
  modal->fileListAnswers.push_back({a, b});
  MenuKeys(main, probe.MenuRef(), Qt::Key(0), 0);  // 読込み
  modal->fileAnswers.push_back(dir.Path("mean.kqc"));
  MenuKeys(main, probe.MenuRef(), Qt::Key_T);
  ASSERT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('|').toStdString();
  EXPECT_GT(Shaded(main), probe.graphPlotter()->Bitmap().width() * 2);
  EXPECT_GT(Shaded(main, true), probe.graphPlotter()->Bitmap().width() * 2) << "no θ band";

  // The short verdict, every panel inside the bar; the whole in the tool tip and behind Alt+R, V.
  StatusPanels* bar = probe.StatusBar1();
  const QString shown = bar->PanelText(1);
  EXPECT_TRUE(shown.startsWith(QStringLiteral("不合格：R が "))) << shown.toStdString();
  int widths = 0;
  for (int i = 0; i < bar->PanelCount(); ++i) widths += bar->PanelWidth(i);
  EXPECT_LE(widths, main->width()) << shown.toStdString();
  MenuKeys(main, probe.MenuRef(), Qt::Key_V);
  ASSERT_EQ(modal->MessageTexts().size(), 1);
  const QString whole = modal->MessageTexts().front();
  EXPECT_TRUE(whole.contains(QStringLiteral("許容範囲外（最大 +"))) << whole.toStdString();
  EXPECT_TRUE(whole.contains(QStringLiteral("θ が "))) << whole.toStdString();
  EXPECT_GT(whole.size(), shown.size());

  // The band built on the references goes with them (クリア, the second item).
  MenuKeys(main, probe.MenuRef(), Qt::Key(0), 1);
  EXPECT_LT(Shaded(main), 20);
  EXPECT_FALSE(bar->PanelText(1).contains(QStringLiteral("合格")));

  // A band from a file goes when its item is chosen again.
  const QString ref = Driver(dir, "ref.DTA", 42);
  ASSERT_TRUE(WriteAll(dir.Path("file.kqc"), "reference = ref.DTA\nR = 10%\n"));
  modal->fileAnswers.push_back(dir.Path("file.kqc"));
  MenuKeys(main, probe.MenuRef(), Qt::Key_T);
  EXPECT_GT(Shaded(main), probe.graphPlotter()->Bitmap().width() * 2);
  EXPECT_LT(Shaded(main, true), 20) << "a θ band without a theta limit";
  const size_t calls = modal->calls.size();
  MenuKeys(main, probe.MenuRef(), Qt::Key_T);
  EXPECT_EQ(modal->calls.size(), calls) << "no dialog to take the band away";
  EXPECT_LT(Shaded(main), 20);
  EXPECT_FALSE(bar->PanelText(1).contains(QStringLiteral("合格")));
}

}  // namespace
}  // namespace kavo::test
