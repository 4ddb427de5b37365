// "結果を分析" on real measurements of the simulated unit: the peak list, the
// parameters with the model's Re, and a new measurement while the analysis
// window stays open.
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "PtyUnit.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"

namespace kavo::test {
namespace {

class AnalysisTest : public MainWindowTest {
 protected:
  void TearDown() override {
    qunsetenv("KAVO_COM1");
    MainWindowTest::TearDown();
  }
  // A full-band sweep of `preset` by a new simulated unit on COM1.
  bool MeasurePreset(const char* preset) {
    unit = std::make_unique<kavsim::PtyUnit>();
    unit->Config().paced = false;
    EXPECT_TRUE(kavsim::FindPreset(preset, unit->Config().model));
    if (!unit->Start()) return false;
    qputenv("KAVO_COM1", QByteArray::fromStdString(unit->SlavePath()));
    TFormMainProbe(main).ComboBox2()->setCurrentIndex(0);
    main->MStartBtnClick();
    return PumpUntil([this] { return TFormMainProbe(main).SweepOver(); }, 15000) &&
           TFormMainProbe(main).mainData().valid == 1;
  }
  TFormCalc* Calc() const { return Forms().calc; }
  QString Box(int i) const { return Calc()->Edits[size_t(i)]->text(); }

  std::unique_ptr<kavsim::PtyUnit> unit;
};

TEST_F(AnalysisTest, WithoutDataTheWindowStaysShut) {
  Start();
  TFormMainProbe(main).MenuMesure_Calc()->trigger();
  EXPECT_EQ(modal->MessageTexts(), QStringList("データがありません"));
  EXPECT_FALSE(Calc()->isVisible());
}

TEST_F(AnalysisTest, WooferThenANewMeasurementWhileOpen) {
  Start();
  main->show();
  ASSERT_TRUE(MeasurePreset("woofer65"));
  TFormMainProbe(main).MenuMesure_Calc()->trigger();
  ASSERT_TRUE(Calc()->isVisible());
  ASSERT_TRUE(PumpUntil([this] { return Box(0) == "42.00"; })) << Box(0).toStdString();
  EXPECT_EQ(Box(1), QStringLiteral("61.60"));
  EXPECT_EQ(Box(2), QStringLiteral("---"));
  EXPECT_TRUE(Calc()->ButtonTS->isEnabled());

  // "Ts の計算" with the model's Re.
  QStringList table;
  modal->dialogHandler = [&](QDialog& d) {
    if (d.objectName() == "TForm_Re") {
      Forms().re->Edit1->setText("5.6");
      Forms().re->Button1Click();
    } else {
      for (QLineEdit* e : Forms().ts->Edits) table << e->text();
    }
    return d.result();
  };
  Calc()->ButtonTS->click();
  EXPECT_EQ(table, QStringList({"5.60", "61.60", "42.00", "11.00", "18.57", "28.53", "61.54", "4.22", "0.42", "0.38"}));
  EXPECT_EQ(TFormMainProbe(main).tsResult().Re, 5.6f);

  // The main window measures a full-range driver while the analysis window
  // stays open; coming back to it lists the new peak.
  main->activateWindow();
  ASSERT_TRUE(PumpUntil([this] { return main->isActiveWindow(); }));
  modal->messageAnswers.push_back(MsgResult::Yes);  // discard the unsaved woofer
  ASSERT_TRUE(MeasurePreset("fullrange"));
  EXPECT_EQ(modal->MessageTexts().size(), 1);
  EXPECT_EQ(Box(0), QStringLiteral("42.00"));
  Calc()->activateWindow();
  ASSERT_TRUE(PumpUntil([this] { return Box(0) == "110.94"; })) << Box(0).toStdString();
  EXPECT_EQ(Box(1), QStringLiteral("38.63"));
  EXPECT_EQ(modal->MessageTexts().size(), 1);

  Calc()->CloseButton->click();
  EXPECT_FALSE(Calc()->isVisible());
}

}  // namespace
}  // namespace kavo::test
