// The main window at the keyboard: Tab reaches the start button, the band
// box and the quit button; a sweep started by Space stops by Escape with the
// focus on "測定停止"; the analysis window opens on screen beside the window.
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QtTest/QTest>

#include "KeyDrive.h"
#include "MainWindowFixture.h"
#include "PtyUnit.h"
#include "Records.h"
#include "analysis/Kavo_calc.h"
#include "data/Kavo_file.h"
#include "messages/StatusPanels.h"

namespace kavo::test {
namespace {

using KeyboardTest = MainWindowTest;

TEST_F(KeyboardTest, TabReachesTheBandBoxAndEscapeStopsASweepStartedBySpace) {
  kavsim::PtyUnit unit;
  unit.Config().paced = true;
  ASSERT_TRUE(unit.Start());
  ScopedEnv com1("KAVO_COM1", QByteArray::fromStdString(unit.SlavePath()));
  Start();
  ASSERT_TRUE(ShowActive(main, main->MStartBtn));
  EXPECT_EQ(TabWalk(3), (QStringList{"ComboBox2", "QuitBtn", "MStartBtn"}));

  // The band chosen by arrow key from the box, the start by Space.
  main->ComboBox2->setFocus();
  QTest::keyClick(main->ComboBox2, Qt::Key_Down);
  EXPECT_EQ(main->ComboBox2->currentIndex(), 1);
  TabWalk(2);  // to QuitBtn, then round to MStartBtn
  ASSERT_EQ(QApplication::focusWidget(), main->MStartBtn);
  QTest::keyClick(main->MStartBtn, Qt::Key_Space);
  ASSERT_EQ(main->MStartBtn->text(), QStringLiteral("測定停止"));
  PumpFor(400);  // some points arrive; a band of 144 takes some 3 s paced
  ASSERT_EQ(main->MStartBtn->text(), QStringLiteral("測定停止"));
  EXPECT_EQ(QApplication::focusWidget(), main->MStartBtn);

  QTest::keyClick(main->MStartBtn, Qt::Key_Escape);
  EXPECT_EQ(main->MStartBtn->text(), QStringLiteral("測定開始"));
  EXPECT_EQ(main->StatusBar1->PanelText(1), QStringLiteral("測定中止しました"));
  EXPECT_EQ(unit.Commands().back(), "ME");
  EXPECT_TRUE(main->QuitBtn->isEnabled());
  // Idle, Escape starts nothing; the button kept the focus, Space starts again.
  unit.ClearCommands();
  QTest::keyClick(main->MStartBtn, Qt::Key_Escape);
  EXPECT_EQ(main->MStartBtn->text(), QStringLiteral("測定開始"));
  EXPECT_TRUE(unit.Commands().empty());
  ASSERT_EQ(QApplication::focusWidget(), main->MStartBtn);
  QTest::keyClick(main->MStartBtn, Qt::Key_Space);
  EXPECT_EQ(main->MStartBtn->text(), QStringLiteral("測定停止"));
  QTest::keyClick(main->MStartBtn, Qt::Key_Escape);
  EXPECT_EQ(main->MStartBtn->text(), QStringLiteral("測定開始"));
}

TEST_F(KeyboardTest, AnalysisWindowOpensOnScreenBesideTheMainWindowNotOverItsMenu) {
  Start();
  FillBand(main->mainData, 1, [](double f, double& r, double& t) { WooferModel(f, r, t); });
  ASSERT_TRUE(main->fileHandler->ConvertData(&main->mainData, &main->rawValues, &main->aveValues));
  main->mainData.valid = 1;
  main->dataSaved = 1;
  ASSERT_TRUE(ShowActive(main, nullptr));
  main->MenuMesure_Calc->trigger();
  TFormCalc* calc = Forms().calc;
  ASSERT_TRUE(calc->isVisible());
  const QRect screen = main->screen()->availableGeometry();
  const QRect menu(main->menuBar()->mapToGlobal(QPoint(0, 0)), main->menuBar()->size());
  EXPECT_TRUE(screen.contains(calc->frameGeometry())) << calc->x() << "," << calc->y();
  EXPECT_FALSE(calc->frameGeometry().intersects(menu)) << calc->x() << "," << calc->y();
}

}  // namespace
}  // namespace kavo::test
