// The crossover windows by keyboard: a part measured, a driver compensated,
// each result dashed over the measurement until another one is opened; the
// compensated curve saved as ZMA, never over a file on show.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "Records.h"
#include "UnitModel.h"
#include "analysis/windows/PartWindows.h"
#include "data/Kavo_file.h"
#include "graph/Graph_rtf.h"

namespace kavo::test {
namespace {

using CrossoverWindowTest = MainWindowTest;

const PointValues* Drawn(TFormMain* main, const TFormAnalysis* w) {
  if (!TFormMainProbe(main).graphPlotter()->HasOverlay(w)) return nullptr;
  return w->Overlay(TFormMainProbe(main).graphScale().band);
}

TEST_F(CrossoverWindowTest, APartAndACompensationByKeyboardDashedUntilTheMeasurementChanges) {
  Start();
  main->show();
  kavsim::DriverModel inductor;
  inductor.part.kind = kavsim::PartModel::Kind::Inductor;
  MeasureData data;
  const SettingsRecord settings;
  ASSERT_TRUE(FillFromUnit(data, inductor));
  ASSERT_TRUE(KAVO_File().WriteDataFile(dir.Path("l.DTA"), "0815", &settings, &data));
  main->mOpenDataFile(dir.Path("l.DTA"));
  TFormMainProbe(main).MenuMesure_Part()->trigger();
  TFormPart* part = Forms().part;
  ASSERT_TRUE(PumpUntil([&] { part->activateWindow(); return part->isActiveWindow(); }));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  ASSERT_EQ(part->Table->rowCount(), 3) << modal->MessageTexts().join('|').toStdString();  // L, Rdc, Q
  EXPECT_EQ(part->Table->item(0, 0)->text(), "L");
  EXPECT_NEAR(part->Table->item(0, 1)->text().toDouble(), 1.0, 0.01);
  EXPECT_TRUE(part->InfoLabel->text().startsWith(QStringLiteral("インダクタ（θ から判定）")));
  ASSERT_NE(Drawn(main, part), nullptr);
  // The fitted part as ZMA: the model's |Z| at the points measured.
  modal->fileAnswers = {dir.Path("coil")};
  modal->typeAnswers = {1};
  part->SaveButton->setFocus();
  QTest::keyClick(part->SaveButton, Qt::Key_Space);
  const QList<QByteArray> zma = ReadAll(dir.Path("coil.zma")).split('\n');
  ASSERT_GT(zma.size(), 300);
  EXPECT_TRUE(zma[0].startsWith("* KAVO fitted part: inductor"));
  const QList<QByteArray> top = zma[zma.size() - 2].split(' ');  // 1 mH near 20 kHz
  EXPECT_NEAR(top.value(1).toDouble(), 2 * M_PI * top.value(0).toDouble() * 1e-3, 2.0);

  // A driver: the part's result goes; the compensation, Re typed.
  main->mOpenDataFile(WriteDriverFile(dir.Path("woofer.DTA"), 42));
  EXPECT_EQ(part->Table->rowCount(), 0);
  EXPECT_EQ(Drawn(main, part), nullptr);
  TFormMainProbe(main).MenuMesure_Comp()->trigger();
  TFormComp* comp = Forms().comp;
  ASSERT_TRUE(PumpUntil([&] { comp->activateWindow(); return comp->isActiveWindow(); }));
  ASSERT_EQ(QApplication::focusWidget(), comp->ReEdit);
  QTest::keyClicks(comp->ReEdit, QStringLiteral("5.6"));
  QTest::keyClick(comp->ReEdit, Qt::Key_Return);
  ASSERT_EQ(comp->Table->rowCount(), 5) << modal->MessageTexts().join('|').toStdString();  // Rz Cz Rn Ln Cn
  EXPECT_EQ(comp->Table->item(0, 4)->text(), QString::number(comp->Result().parts[0].standard, 'g', 4));
  const PointValues* drawn = Drawn(main, comp);
  ASSERT_NE(drawn, nullptr);
  EXPECT_NEAR(drawn->R[399], 5.6, 0.6);  // flat at Re up to 20 kHz

  // Saved as ZMA by its type; a second time only after "はい".
  modal->fileAnswers = {dir.Path("flat"), dir.Path("flat")};
  modal->typeAnswers = {1, 1};
  modal->messageAnswers = {MsgResult::No};
  for (int k = 0; k < 2; ++k) {
    comp->SaveButton->setFocus();
    QTest::keyClick(comp->SaveButton, Qt::Key_Space);
  }
  EXPECT_TRUE(ReadAll(dir.Path("flat.zma")).startsWith("* KAVO compensated impedance"));
  ASSERT_EQ(modal->MessageTexts().size(), 1);
  EXPECT_TRUE(modal->MessageTexts()[0].contains(QStringLiteral("上書き")));

  // The driver from a driver file instead of Re: one not there is said, the
  // one there gives its Fs to the design.
  ASSERT_TRUE(WriteAll(dir.Path("w.wdr"), "[Driver]\nRe=5.6\nFs=42\nQms=4.2\nQes=0.42\n"));
  QTest::keyClick(comp, Qt::Key_D, Qt::AltModifier);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QTest::keyClick(comp, Qt::Key_L, Qt::AltModifier);
  ASSERT_EQ(QApplication::focusWidget(), comp->DriverFile);
  QTest::keyClicks(comp->DriverFile, dir.Path("none.wdr"));
  QTest::keyClick(comp->DriverFile, Qt::Key_Return);
  ASSERT_EQ(modal->MessageTexts().size(), 2);
  EXPECT_TRUE(modal->MessageTexts()[1].contains(QStringLiteral("none.wdr")));
  QTest::keyClick(comp->DriverFile, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(comp->DriverFile, dir.Path("w.wdr"));
  QTest::keyClick(comp->DriverFile, Qt::Key_Return);
  ASSERT_EQ(comp->Table->rowCount(), 5) << modal->MessageTexts().join('|').toStdString();
  EXPECT_EQ(comp->Result().driver.fs, 42);
  EXPECT_TRUE(comp->NotesLabel->text().contains(QStringLiteral("w.wdr")));
  main->mOpenDataFile(WriteDriverFile(dir.Path("other.DTA"), 47));
  EXPECT_EQ(comp->Table->rowCount(), 0);
  EXPECT_FALSE(comp->SaveButton->isEnabled());
  EXPECT_EQ(Drawn(main, comp), nullptr);
}

}  // namespace
}  // namespace kavo::test
