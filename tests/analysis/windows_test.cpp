// The Re dialog, the parameter table and the analysis window driven the way
// the user drives them, with every modal question answered by script.
#include <QLineEdit>
#include <QPushButton>
#include <QApplication>
#include <QKeyEvent>
#include <gtest/gtest.h>

#include <cmath>

#include "EventPump.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "analysis_fixture.h"
#include "ScriptedModal.h"

namespace kavo::test {
namespace {

TEST(ReDialog, AcceptsANumberAndRefusesTheRest) {
  TForm_Re re;
  EXPECT_EQ(re.Edit1->text(), QStringLiteral("8.0"));
  struct Case {
    const char* text;
    bool accepted;
    float value;
  };
  const Case cases[] = {{"8.0", true, 8.0f},     {" 2.31 ", true, 2.31f}, {"6", true, 6.0f},
                        {"1e-1", true, 0.1f},    {"0", true, 0.0f},        {"", false, 0},
                        {"2,31", false, 0},      {"abc", false, 0},        {"2.31Ω", false, 0},
                        {"nan", false, 0},       {"inf", false, 0},        {"1e50", false, 0},
                        {"５．６", true, 5.6f},  {"－２.31", true, -2.31f}, {"　８　", true, 8.0f},
                        {"１，５", false, 0},    {"٣", false, 0}};
  for (const Case& c : cases) {
    ScopedScriptedModal modal;
    float value = -1;
    uint8_t cancelled = 7;
    re.SetTarget(&value, &cancelled);
    re.Edit1->setText(QString::fromUtf8(c.text));
    re.show();
    re.Button1Click();
    EXPECT_EQ(re.isVisible(), !c.accepted) << c.text;
    if (c.accepted) {
      EXPECT_EQ(value, c.value) << c.text;
      EXPECT_EQ(cancelled, 0) << c.text;
      EXPECT_TRUE(modal->calls.empty()) << c.text;
    } else {
      EXPECT_EQ(value, -1) << c.text;
      EXPECT_EQ(cancelled, 7) << c.text;
      ASSERT_EQ(modal->calls.size(), 1u) << c.text;
      EXPECT_EQ(modal->calls[0].caption, QStringLiteral("Re の値の入力"));
      EXPECT_EQ(modal->calls[0].text, QStringLiteral("Re の値が正しくありません"));
      EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
      re.hide();
    }
  }
  // Cancel, by button or by Escape, leaves the value alone.
  for (bool escape : {false, true}) {
    float value = 4.5f;
    uint8_t cancelled = 0;
    re.SetTarget(&value, &cancelled);
    re.Edit1->setText("3.3");
    re.show();
    if (escape) {
      QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
      QApplication::sendEvent(&re, &key);
    } else {
      re.Button2->click();
    }
    EXPECT_FALSE(re.isVisible());
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(value, 4.5f);
  }
}

TEST(TsTable, ShowsTheResultOrDashes) {
  TFormTS ts;
  for (QLineEdit* e : ts.Edits) EXPECT_EQ(e->text(), QStringLiteral("---"));
  TSResult r{8.0f, 32.0f, 45.0f, 4.0f, 16.0f, 40.0f, 62.5f, std::nanf(""), 1.481f, 0.456f};
  ts.SetResult(&r);
  QStringList shown;
  for (QLineEdit* e : ts.Edits) shown << e->text();
  EXPECT_EQ(shown, QStringList({"8.00", "32.00", "45.00", "4.00", "16.00", "40.00", "62.50", "---", "1.48", "0.46"}));
  // Too wide for its box: "---" with the number in the tip, never cut off.
  r.Fs = 20000.0f;
  r.Qes = 106001968.0f;
  ts.SetResult(&r);
  EXPECT_EQ(ts.Edits[2]->text(), QStringLiteral("20000.00"));
  EXPECT_EQ(ts.Edits[8]->text(), QStringLiteral("---"));
  EXPECT_EQ(ts.Edits[8]->toolTip(), QStringLiteral("106001968.00"));
}

// The analysis window on a made-up curve, with its own Re dialog and table.
class CalcWindow : public ::testing::Test {
 protected:
  void SetUp() override { calc.SetDialogs(&re, &ts); }
  void Use(Curve& c) { calc.SetSource(&c.raw, &c.smooth, &result, &c.data); }
  QStringList Boxes() const {
    QStringList out;
    for (QLineEdit* e : calc.Edits) out << e->text();
    return out;
  }
  // Answers the Re dialog with `texts` in turn (an empty text: "取消し"),
  // records the table's boxes each time it is shown.
  void Script(QStringList texts) {
    modal->dialogHandler = [this, texts](QDialog& d) mutable {
      if (&d == &re) {
        reSeen << re.Edit1->text();
        const QString text = texts.isEmpty() ? QString() : texts.takeFirst();
        if (text.isEmpty()) {
          re.Button2Click();
        } else {
          re.Edit1->setText(text);
          re.Button1Click();
        }
      } else if (&d == &ts) {
        tables.push_back({});
        for (QLineEdit* e : ts.Edits) tables.back() << e->text();
        ts.Button1Click();
      }
      return d.result();
    };
  }

  ScopedScriptedModal modal;
  TFormCalc calc;
  TForm_Re re;
  TFormTS ts;
  TSResult result;
  QStringList reSeen;
  std::vector<QStringList> tables;
};

double Triangle(int k) { return k <= 50 ? std::max(8.0, 32.0 - (50 - k) * 1.6) : std::max(8.0, 28.5 - (k - 50)); }

TEST_F(CalcWindow, NoSourceOrNoPeak) {
  calc.FormActivate();
  EXPECT_FALSE(calc.ButtonTS->isEnabled());
  EXPECT_EQ(Boxes(), QStringList(10, "---"));
  EXPECT_TRUE(modal->calls.empty());

  Curve flat(2, [](int) { return 6.0; });
  Use(flat);
  calc.FormActivate();
  EXPECT_FALSE(calc.ButtonTS->isEnabled());
  EXPECT_EQ(Boxes(), QStringList(10, "---"));
  ASSERT_EQ(modal->calls.size(), 1u);
  EXPECT_EQ(modal->calls[0].text, QStringLiteral("ピークは検出できませんでした"));
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("ピーク値の計算"));
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
  calc.ButtonTSClick();
  EXPECT_EQ(modal->MessageTexts(), QStringList(2, "ピークは検出できませんでした"));
}

TEST_F(CalcWindow, TsButtonThroughReDialogAndTable) {
  Curve c(2, Triangle, [](int k) { return double(k); });
  Use(c);
  calc.FormActivate();
  EXPECT_TRUE(calc.ButtonTS->isEnabled());
  EXPECT_EQ(Boxes(), QStringList({"50.00", "32.00", "---", "---", "---", "---", "---", "---", "---", "---"}));

  // Cancel: nothing asked further, nothing computed.
  Script({""});
  calc.ButtonTSClick();
  EXPECT_EQ(calc.calcRe, 0.0f);
  EXPECT_TRUE(tables.empty());
  EXPECT_TRUE(modal->MessageTexts().isEmpty());

  // Re 0, Re at or above the peak: refused, no table. Re 1 puts Rx below
  // the curve: f1 is not found.
  for (const char* text : {"0", "32", "40", "-8", "1"}) {
    modal->calls.clear();
    Script({text});
    calc.ButtonTSClick();
    const bool f1 = QByteArray(text) == "1";
    ASSERT_EQ(modal->MessageTexts(),
              QStringList(f1 ? "f1 が求まりませんでした" : "Re の値が正しくありません")) << text;
    EXPECT_EQ(modal->calls.back().caption, QStringLiteral("Ts の計算"));
    EXPECT_TRUE(tables.empty()) << text;
  }

  // The worked example; the box keeps the text typed last.
  Script({"8"});
  calc.ButtonTSClick();
  ASSERT_EQ(tables.size(), 1u);
  EXPECT_EQ(tables[0],
            QStringList({"8.00", "32.00", "50.00", "4.00", "16.00", "40.00", "62.50", "4.44", "1.48", "1.11"}));
  EXPECT_EQ(reSeen, QStringList({"8.0", "8.0", "0", "32", "40", "-8", "1"}));
}


TEST_F(CalcWindow, SearchesTheValuesAsTheyAreNow) {
  Curve c(2, Points({{54, 5}, {57, 10}, {60, 20}, {63, 10}, {66, 5}}));
  Use(c);
  calc.FormActivate();
  EXPECT_EQ(Boxes().mid(0, 3), QStringList({"610.00", "20.00", "---"}));
  // A new measurement replaces the values under the open window; the
  // smoothed curve still belongs to the old one until the window searches.
  for (int k = 0; k <= 143; ++k) c.raw.R[k] = float(2.0 + 5.0 * std::exp(-std::pow((k - 70) / 25.0, 2)));
  calc.FormActivate();
  EXPECT_EQ(Boxes().mid(0, 3), QStringList({"710.00", "7.00", "---"}));
  EXPECT_TRUE(modal->calls.empty());
}

}  // namespace
}  // namespace kavo::test
