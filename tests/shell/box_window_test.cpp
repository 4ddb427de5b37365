// The box window by keyboard: opened from "結果を分析", the vented box and
// the driver's values typed, Return; the table with the classic estimates,
// the fitted system dashed over the measurement until it changes, the save.
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <sys/stat.h>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "Records.h"
#include "UnitModel.h"
#include "analysis/windows/BoxWindow.h"
#include "analysis/windows/Kavo_calc.h"
#include "data/Kavo_file.h"
#include "graph/Graph_rtf.h"

namespace kavo::test {
namespace {

using BoxWindowTest = MainWindowTest;

QString WriteMeasurement(const TempDir& dir, const QString& name, const kavsim::DriverModel& model) {
  MeasureData data;
  EXPECT_TRUE(FillFromUnit(data, model));
  SettingsRecord settings;
  const QString path = dir.Path(name);
  EXPECT_TRUE(KAVO_File().WriteDataFile(path, "0815", &settings, &data));
  return path;
}

const PointValues* BoxOverlay(TFormMain* main, const TFormBox* box) {
  if (!TFormMainProbe(main).graphPlotter()->HasOverlay(box)) return nullptr;
  return box->Overlay(TFormMainProbe(main).graphScale().band);
}

// The table's row of `name`, or -1.
int Row(const QTableWidget* table, const QString& name) {
  for (int r = 0; r < table->rowCount(); ++r)
    if (table->item(r, 0)->text() == name) return r;
  return -1;
}

TEST_F(BoxWindowTest, ByKeyboardFromTheAnalysisWindowToTheTableTheDashedSystemAndTheSave) {
  Start();
  main->show();
  kavsim::DriverModel m;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", m));
  m.box = kavsim::DriverModel::Box::Vented, m.vb = 30e-3, m.fb = 38, m.ql = 7, m.qa = 30;
  const QString measured = WriteMeasurement(dir, "vented.DTA", m);
  main->mOpenDataFile(measured);
  TFormMainProbe(main).MenuMesure_Calc()->trigger();
  TFormCalc* calc = Forms().calc;
  ASSERT_TRUE(PumpUntil([&] { calc->activateWindow(); return calc->isActiveWindow(); }));
  calc->BoxButton->setFocus();
  QTest::keyClick(calc->BoxButton, Qt::Key_Space);
  TFormBox* box = Forms().box;
  ASSERT_TRUE(PumpUntil([&] { box->activateWindow(); return box->isActiveWindow(); }));

  // Vb first; then up to the kind, and down through the driver's values.
  ASSERT_EQ(QApplication::focusWidget(), box->VbEdit);
  QTest::keyClicks(box->VbEdit, QStringLiteral("30"));
  QTest::keyClick(box->VbEdit, Qt::Key_Backtab);
  QTest::keyClick(box->KindCombo, Qt::Key_Down);
  for (QWidget* w : {static_cast<QWidget*>(box->KindCombo), static_cast<QWidget*>(box->VbEdit)})
    QTest::keyClick(w, Qt::Key_Tab);
  QTest::keyClicks(box->ReEdit, QStringLiteral("5.6"));
  QTest::keyClick(box->ReEdit, Qt::Key_Tab);
  QTest::keyClick(box->DriverCombo, Qt::Key_Down);
  QTest::keyClick(box->DriverCombo, Qt::Key_Down);
  const std::pair<QLineEdit*, const char*> typed[] = {
      {box->FsEdit, "42"}, {box->QmsEdit, "4.2"}, {box->QesEdit, "0.42"}, {box->VasEdit, "22"}};
  for (const auto& [edit, text] : typed) QTest::keyClicks(edit, QString::fromLatin1(text));
  QTest::keyClick(box->VasEdit, Qt::Key_Return);

  ASSERT_GT(box->Table->rowCount(), 0) << modal->MessageTexts().join('|').toStdString();
  const int fb = Row(box->Table, QStringLiteral("Fb")), vab = Row(box->Table, QStringLiteral("Vab"));
  ASSERT_GE(fb, 0);
  ASSERT_GE(vab, 0);
  EXPECT_NEAR(box->Table->item(fb, 1)->text().toDouble(), 38, 0.38);
  EXPECT_TRUE(box->Table->item(fb, 2)->text().startsWith(QStringLiteral("±")));
  // Fb's classic estimate, the dip between the peaks, beside the fit.
  EXPECT_NEAR(box->Table->item(fb, 4)->text().toDouble(), 38, 1.5);
  EXPECT_NEAR(box->Table->item(vab, 1)->text().toDouble(), 30, 0.3);
  EXPECT_TRUE(box->NotesLabel->text().contains(QStringLiteral("入力")));

  // The fitted system over the measurement: at its dip it meets the curve.
  const PointValues* system = BoxOverlay(main, box);
  ASSERT_NE(system, nullptr);
  const int dip = TFormMainProbe(main).mFindPointIndex(38);
  const float r = TFormMainProbe(main).rawValues().R[dip];
  EXPECT_NEAR(system->R[dip], r, 0.01 * r);

  // Saved as text; over an existing file only after "はい".
  modal->fileAnswers = {dir.Path("vented")};
  box->SaveButton->setFocus();
  QTest::keyClick(box->SaveButton, Qt::Key_Space);
  const QByteArray saved = ReadAll(dir.Path("vented.txt"));
  EXPECT_TRUE(saved.startsWith("* KAVO box fit\n* source: vented.DTA\n")) << saved.left(80).toStdString();
  EXPECT_TRUE(saved.contains("\nFb\t") && saved.contains("\nFb (classic)\t"));
  WriteAll(dir.Path("vented.txt"), "kept");
  modal->fileAnswers = {dir.Path("vented.txt")};
  modal->messageAnswers = {MsgResult::No};
  QTest::keyClick(box->SaveButton, Qt::Key_Space);
  EXPECT_EQ(ReadAll(dir.Path("vented.txt")), "kept");
  EXPECT_TRUE(modal->MessageTexts().last().contains(QStringLiteral("上書きしますか")));

  // A FIFO named as it is: written into (refused, nobody reads), never a
  // "fifo.txt" made beside it.
  ASSERT_EQ(::mkfifo(QFile::encodeName(dir.Path("fifo")).constData(), 0600), 0);
  modal->fileAnswers = {dir.Path("fifo")};
  modal->messageAnswers = {MsgResult::Yes};
  QTest::keyClick(box->SaveButton, Qt::Key_Space);
  EXPECT_FALSE(QFileInfo::exists(dir.Path("fifo.txt")));
  EXPECT_TRUE(modal->MessageTexts().last().contains(QStringLiteral("保存できませんでした")))
      << modal->MessageTexts().join('|').toStdString();

  // Another measurement: the fit and its curve go.
  kavsim::DriverModel other;
  ASSERT_TRUE(kavsim::FindPreset("fullrange", other));
  main->mOpenDataFile(WriteMeasurement(dir, "other.DTA", other));
  EXPECT_EQ(box->Table->rowCount(), 0);
  EXPECT_EQ(BoxOverlay(main, box), nullptr);
  EXPECT_FALSE(box->SaveButton->isEnabled());
}

// Hostile volumes each get the one rule, typed in and fitted by Return; the
// driver's source (Alt+D) and Sd (Alt+C) each have a key of their own.
TEST_F(BoxWindowTest, EveryBadVolumeIsRefusedByTheRuleAndEveryFieldHasItsOwnKey) {
  Start();
  main->show();
  kavsim::DriverModel m;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", m));
  m.box = kavsim::DriverModel::Box::Closed, m.vb = 12e-3, m.qa = 8;
  main->mOpenDataFile(WriteMeasurement(dir, "closed.DTA", m));
  TFormMainProbe(main).MenuMesure_Box()->trigger();
  TFormBox* box = Forms().box;
  ASSERT_TRUE(PumpUntil([&] { box->activateWindow(); return box->isActiveWindow(); }));
  QTest::keyClick(box, Qt::Key_D, Qt::AltModifier);
  ASSERT_EQ(QApplication::focusWidget(), box->DriverCombo);
  QTest::keyClick(box->DriverCombo, Qt::Key_Down);  // ドライバファイル: Sd open
  QTest::keyClick(box, Qt::Key_C, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), box->SdEdit);
  QTest::keyClick(box, Qt::Key_D, Qt::AltModifier);
  EXPECT_EQ(QApplication::focusWidget(), box->DriverCombo);
  for (const char* vb : {"0", "-1", "abc", "1,5", "1e308"}) {
    box->VbEdit->clear();
    QTest::keyClicks(box->VbEdit, QString::fromLatin1(vb));
    QTest::keyClick(box->VbEdit, Qt::Key_Return);
    ASSERT_FALSE(modal->MessageTexts().isEmpty()) << vb;
    EXPECT_TRUE(modal->MessageTexts().last().contains(QStringLiteral("10000 L 以下の数"))) << vb;
    EXPECT_EQ(box->Table->rowCount(), 0) << vb;
  }
}

}  // namespace
}  // namespace kavo::test
