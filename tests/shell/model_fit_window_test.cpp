// The model-fit window by keyboard: opened from "結果を分析", Re typed, Tab
// to "適合", Return; the table, and the model dashed over the measurement
// until the window closes or the measurement changes.
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTest>
#include <algorithm>

#include "MainProbe.h"
#include "MainWidgets.h"
#include "MainWindowFixture.h"
#include "Records.h"
#include "UnitModel.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/ModelFitWindow.h"
#include "data/Kavo_file.h"
#include "graph/Graph_rtf.h"

namespace kavo::test {
namespace {

void Key(int key, const QString& text = {}) {
  QWidget* to = QApplication::focusWidget();
  ASSERT_NE(to, nullptr);
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
  QApplication::sendEvent(to, &press);
  QApplication::sendEvent(to, &release);
}

void Type(const QString& text) {
  for (const QChar c : text) Key(c.unicode(), QString(c));
}

bool Activate(QWidget* window) {
  window->activateWindow();
  return PumpUntil([&] { return window->isActiveWindow(); });
}

using ModelFitWindowTest = MainWindowTest;

// The curves the fit window's overlay on the main graph paints now, or null.
const PointValues* ModelOverlay(TFormMain* main, const TFormFit* fit) {
  if (!TFormMainProbe(main).graphPlotter()->HasOverlay(fit)) return nullptr;
  return fit->Overlay(TFormMainProbe(main).graphScale().band);
}

TEST_F(ModelFitWindowTest, ByKeyboardFromTheAnalysisWindowToTheTableAndTheDashedModel) {
  Start();
  main->show();
  kavsim::DriverModel m;
  m.coil = kavsim::DriverModel::Coil::Semi, m.K = 0.0062, m.n = 0.7, m.creep = 0.08;
  ASSERT_TRUE(FillFromUnit(TFormMainProbe(main).mainData(), m));
  TFormMainProbe(main).mainData().valid = 1;
  ASSERT_TRUE(TFormMainProbe(main).fileHandler()->ConvertData(&TFormMainProbe(main).mainData(), &TFormMainProbe(main).rawValues(), &TFormMainProbe(main).aveValues()));
  main->mRedrawGraph();
  TFormMainProbe(main).MenuMesure_Calc()->trigger();
  TFormCalc* calc = Forms().calc;
  ASSERT_TRUE(calc->isVisible());
  ASSERT_TRUE(Activate(calc));
  calc->FitButton->setFocus();
  Key(Qt::Key_Space);
  TFormFit* fit = Forms().fit;
  ASSERT_TRUE(PumpUntil([&] { return fit->isVisible(); }));
  ASSERT_TRUE(Activate(fit));

  fit->ReEdit->setFocus();
  Type(QStringLiteral("5.6"));
  int tabs = 0;
  while (QApplication::focusWidget() != fit->RunButton && tabs++ < 20) Key(Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), fit->RunButton);
  Key(Qt::Key_Return);

  // Free curve, semi, creep: Re Fs Qms Qes Qts K n λ EBP.
  ASSERT_EQ(fit->Table->rowCount(), 9) << fit->NotesLabel->text().toStdString();
  EXPECT_EQ(fit->Table->item(1, 0)->text(), "Fs");
  EXPECT_NEAR(fit->Table->item(1, 1)->text().toDouble(), 42.0, 0.1);
  EXPECT_TRUE(fit->Table->item(1, 2)->text().startsWith(QStringLiteral("±")));
  EXPECT_TRUE(fit->InfoLabel->text().contains(QStringLiteral("残差")));
  EXPECT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('|').toStdString();

  // The model over the measurement: at the resonance it meets the curve.
  const PointValues* model = ModelOverlay(main, fit);
  ASSERT_NE(model, nullptr);
  const int peak = calc->Analysis().peakSlots[0];
  EXPECT_NEAR(model->R[peak], TFormMainProbe(main).rawValues().R[peak], 0.01 * TFormMainProbe(main).rawValues().R[peak]);
  // A changed measurement drops it; a new fit brings it back; closing drops it.
  TFormMainProbe(main).rawValues().R[peak] += 1.0f;
  EXPECT_EQ(ModelOverlay(main, fit), nullptr);
  TFormMainProbe(main).rawValues().R[peak] -= 1.0f;
  Key(Qt::Key_Return);
  EXPECT_NE(ModelOverlay(main, fit), nullptr);
  Key(Qt::Key_Escape);
  EXPECT_FALSE(fit->isVisible());
  EXPECT_EQ(ModelOverlay(main, fit), nullptr);
}

TEST_F(ModelFitWindowTest, SaveByTypeAndNameNeverOverAFileOnShowAndOnlyForTheMeasurementFitted) {
  Start();
  main->move(0, 0);
  main->show();
  const QString ref = WriteDriverFile(dir.Path("ref.txt"), 45);
  main->mOpenDataFile(WriteDriverFile(dir.Path("woofer.DTA"), 42));
  modal->fileListAnswers = {{ref}};
  main->MenuRef_OpenClick();
  TFormMainProbe(main).MenuMesure_Fit()->trigger();
  TFormFit* fit = Forms().fit;
  ASSERT_TRUE(Activate(fit));
  // Placed as the analysis window is, with the focus in Re (it has no default).
  EXPECT_TRUE(main->screen()->availableGeometry().contains(fit->frameGeometry()));
  EXPECT_FALSE(fit->frameGeometry().intersects(QRect(main->menuBar()->mapToGlobal(QPoint()), main->menuBar()->size())));
  EXPECT_EQ(QApplication::focusWidget(), fit->ReEdit);
  QTest::keyClicks(fit->ReEdit, QStringLiteral("5.6"));
  QTest::keyClick(fit->ReEdit, Qt::Key_Return);
  ASSERT_GT(fit->Table->rowCount(), 0) << modal->MessageTexts().join('|').toStdString();
  // The table is one Tab stop.
  fit->CloseButton->setFocus();
  QTest::keyClick(fit->CloseButton, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), fit->Table);
  QTest::keyClick(fit->Table, Qt::Key_Tab);
  EXPECT_NE(QApplication::focusWidget(), fit->Table);

  // Typed name, type (0 .wdr, 1 text), the file, its first bytes (none: nothing written, and the message).
  const struct { const char *typed; int type; const char *written, *begins; QString message; } cases[] = {
      {"plain", 0, "plain.wdr", "[Driver]\nBrand=\nModel=\nComment=woofer.DTA 2026/12/08 9:30:00; ", {}},
      {"plain", 1, "plain.txt", "* KAVO model fit\n* source: woofer.DTA\n* date: 2026/12/08 9:30:00\n* model: semi", {}},
      {"plain.wdr", 1, "plain.wdr", nullptr, QStringLiteral("ファイル：%1があります。\n上書きしますか")},
      {"ref", 1, "ref.txt", nullptr, QStringLiteral("ファイル：%1は表示中のデータのファイルです。\n別の名前で保存して下さい")},
      {"missing/plain", 0, "missing/plain.wdr", nullptr, QStringLiteral("ファイル：%1を保存できませんでした")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    const QString written = dir.Path(c.written);
    const QByteArray before = ReadAll(written);
    modal->fileAnswers = {dir.Path(c.typed)};
    modal->typeAnswers = {c.type};
    modal->messageAnswers = {MsgResult::No};
    const size_t asked = modal->MessageTexts().size();
    fit->SaveButton->setFocus();
    QTest::keyClick(fit->SaveButton, Qt::Key_Space);
    EXPECT_EQ(modal->MessageTexts().mid(asked), c.begins ? QStringList() : QStringList{c.message.arg(written)});
    if (c.begins) EXPECT_TRUE(ReadAll(written).startsWith(c.begins)) << ReadAll(written).left(120).toStdString();
    else EXPECT_EQ(ReadAll(written), before);
  }

  // Another measurement: the fit of the earlier one is gone and cannot be saved.
  main->mOpenDataFile(WriteDriverFile(dir.Path("other.DTA"), 47));
  EXPECT_EQ(fit->Table->rowCount(), 0);
  EXPECT_FALSE(fit->SaveButton->isEnabled());
}

// Re's σ typed beside Re, the total's parts in each row's tool tip; an Re
// the curve rules out is a message and no table; a curve without phase is
// fitted by |Z| and says so.
TEST_F(ModelFitWindowTest, ReSigmaBesideRePartsInTheToolTipsImpossibleReAndNoPhase) {
  Start();
  main->show();
  main->mOpenDataFile(WriteDriverFile(dir.Path("woofer.DTA"), 42));
  TFormMainProbe(main).MenuMesure_Fit()->trigger();
  TFormFit* fit = Forms().fit;
  ASSERT_TRUE(Activate(fit));
  int tabs = 0;
  while (QApplication::focusWidget() != fit->ReSigmaEdit && tabs++ < 4) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_EQ(QApplication::focusWidget(), fit->ReSigmaEdit);
  const auto fitWith = [&](const char* re, const char* sigma) {
    for (QLineEdit* edit : {fit->ReEdit, fit->ReSigmaEdit}) edit->selectAll(), QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(fit->ReEdit, QString::fromUtf8(re));
    QTest::keyClicks(fit->ReSigmaEdit, QString::fromUtf8(sigma));
    QTest::keyClick(fit->ReSigmaEdit, Qt::Key_Return);
  };
  const auto qes = [&] {  // the Qes row's ±σ and tool tip
    for (int row = 0; row < fit->Table->rowCount(); ++row)
      if (fit->Table->item(row, 0)->text() == "Qes")
        return std::pair{fit->Table->item(row, 2)->text().mid(1).toDouble(), fit->Table->item(row, 1)->toolTip()};
    return std::pair{0.0, QString()};
  };
  fitWith("5.6", "0");
  const auto [exact, exactTip] = qes();
  EXPECT_TRUE(exactTip.endsWith(QStringLiteral("入力 ±0"))) << exactTip.toStdString();
  EXPECT_TRUE(exactTip.contains(QStringLiteral("統計 ±")) && exactTip.contains(QStringLiteral("モデル ±")));
  fitWith("5.6", "0.28");  // 5 %: Qes moves with Re
  EXPECT_GT(qes().first, exact + 0.02) << qes().second.toStdString();
  EXPECT_TRUE(modal->MessageTexts().isEmpty()) << modal->MessageTexts().join('|').toStdString();

  fitWith("30", "");
  EXPECT_EQ(fit->Table->rowCount(), 0);
  ASSERT_EQ(modal->MessageTexts().size(), 1);
  EXPECT_TRUE(modal->MessageTexts()[0].startsWith(QStringLiteral("Re 30.000 Ω が曲線の抵抗分（Z の実部）の最小値 "))) << modal->MessageTexts()[0].toStdString();

  PointValues& raw = TFormMainProbe(main).rawValues();
  std::fill(std::begin(raw.Theta), std::end(raw.Theta), 0.0f);
  fitWith("5.6", "");
  EXPECT_EQ(fit->NotesLabel->text(), QStringLiteral("位相なし：振幅のみで適合"));
  QStringList names;
  for (int row = 0; row < fit->Table->rowCount(); ++row) names << fit->Table->item(row, 0)->text();
  EXPECT_EQ(names, (QStringList{"Re", "Fs", "Qms", "Qes", "Qts", "EBP"}));
}

}  // namespace
// What the user typed is refused with its reason before any fit: a range the
// wrong way round, and a second measurement that cannot be read (its name
// and why, or the reason alone when no name was typed).
TEST_F(ModelFitWindowTest, ARangeTheWrongWayRoundAndAnUnreadableSecondFileAreToldWhy) {
  Start();
  main->show();
  TFormMainProbe probe(main);
  ASSERT_TRUE(FillFromUnit(probe.mainData(), kavsim::DriverModel{}));
  probe.mainData().valid = 1;
  ASSERT_TRUE(probe.fileHandler()->ConvertData(&probe.mainData(), &probe.rawValues(), &probe.aveValues()));
  MainWidgets(main).MenuMesure_Fit()->trigger();
  TFormFit* fit = Forms().fit;
  ASSERT_TRUE(PumpUntil([&] { return fit->isVisible(); }));
  ASSERT_TRUE(Activate(fit));
  const QString garbage = dir.Path(QStringLiteral("garbage.DTA"));
  {
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a measurement\n");
  }
  struct Case {
    QString fmin, fmax, secondFile, expected;
  } const cases[] = {
      {"200", "100", "", QStringLiteral("周波数範囲の下限が上限以上です")},
      {"", "", "", QStringLiteral("ファイル名がありません")},
      {"", "", dir.Path("missing.DTA"), dir.Path("missing.DTA") + QStringLiteral("：ファイルがありません")},
      {"", "", dir.Root(), dir.Root() + QStringLiteral("：フォルダです")},
      {"", "", garbage, garbage + QStringLiteral("：データファイルの内容が正しくありませんでした")},
  };
  const auto typeInto = [](QLineEdit* edit, const QString& text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
  };
  for (const Case& c : cases) {
    modal->calls.clear();
    typeInto(fit->ReEdit, QStringLiteral("5.6"));
    typeInto(fit->FminEdit, c.fmin);
    typeInto(fit->FmaxEdit, c.fmax);
    fit->SecondCombo->setFocus();
    QTest::keyClick(fit->SecondCombo, Qt::Key_Home);
    QTest::keyClick(fit->SecondCombo, Qt::Key_Down);  // 付加質量
    typeInto(fit->SecondValue, QStringLiteral("10"));
    typeInto(fit->SecondFile, c.secondFile);
    fit->RunButton->setFocus();
    QTest::keyClick(fit->RunButton, Qt::Key_Return);
    EXPECT_EQ(modal->MessageTexts(), QStringList{c.expected}) << c.expected.toStdString();
    EXPECT_EQ(fit->Table->rowCount(), 0);
  }
}

}  // namespace kavo::test
