// The status bar's panels and the status texts written into them.
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "platform/desktop/Look.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLayout>
#include <gtest/gtest.h>

#include <functional>

namespace kavo {
namespace {

class StatusTest : public ::testing::Test {
 protected:
  StatusTest() : status(&bar, QStringLiteral("KA-V"), 2) { bar.setFont(ProgramFont(12)); }

  int Measure(const QString& text) const { return QFontMetrics(bar.font()).horizontalAdvance(text); }

  // A text that measures exactly `width` px in the bar's font, from runs of
  // a narrow and a wide character.
  QString TextOfWidth(int width) const {
    for (int wide = 0; wide < 40; ++wide) {
      for (int narrow = 0; narrow < 120; ++narrow) {
        QString text = QString(wide, QLatin1Char('W')) + QString(narrow, QLatin1Char('i'));
        const int w = Measure(text);
        if (w == width) return text;
        if (w > width) break;
      }
    }
    return {};
  }

  StatusPanels bar;
  KStatus status;
};

TEST_F(StatusTest, PanelsStartEmptyAtFiftyPixelsWithoutSizeGrip) {
  ASSERT_EQ(bar.PanelCount(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(bar.PanelText(i), QString());
    EXPECT_EQ(bar.PanelWidth(i), 50);
  }
  EXPECT_FALSE(bar.isSizeGripEnabled());
}

TEST_F(StatusTest, PanelWidthFollowsTheTextMeasuredInTheBarsFont) {
  const QString at100 = TextOfWidth(100), at101 = TextOfWidth(101), at250 = TextOfWidth(250);
  ASSERT_FALSE(at100.isEmpty());
  ASSERT_FALSE(at101.isEmpty());
  ASSERT_FALSE(at250.isEmpty());

  status.SetPanelText(at100, 1);
  EXPECT_EQ(bar.PanelText(1), at100);
  EXPECT_EQ(bar.PanelWidth(1), 110);
  status.SetPanelText(at101, 1);
  EXPECT_EQ(bar.PanelWidth(1), 121);
  status.SetPanelText(at250, 0);
  EXPECT_EQ(bar.PanelWidth(0), 270);
  // Shrinks back with a short text, never below 110.
  status.SetPanelText(QStringLiteral("x"), 0);
  EXPECT_EQ(bar.PanelWidth(0), 110);
  status.SetPanelText(at250, 2);
  status.ClearPanel(2);
  EXPECT_EQ(bar.PanelText(2), QString());
  EXPECT_EQ(bar.PanelWidth(2), 110);

  // A larger font makes the same text wider: the bar's own font is used.
  QFont big = bar.font();
  big.setPixelSize(24);
  bar.setFont(big);
  status.SetPanelText(at101, 1);
  EXPECT_EQ(bar.PanelWidth(1), Measure(at101) + 20);
  EXPECT_GT(bar.PanelWidth(1), 121);
}

TEST_F(StatusTest, PanelsOutsideTheRangeAreIgnored) {
  status.SetPanelText(QStringLiteral("one"), 1);
  status.SetPanelText(QStringLiteral("three"), 3);
  status.SetPanelText(QStringLiteral("minus"), -1);
  status.ClearPanel(1000);
  EXPECT_EQ(bar.PanelText(0), QString());
  EXPECT_EQ(bar.PanelText(1), QStringLiteral("one"));
  EXPECT_EQ(bar.PanelText(2), QString());
  EXPECT_EQ(bar.PanelWidth(0), 50);
  EXPECT_EQ(bar.PanelWidth(2), 50);

  // A writer limited to panel 1 leaves panel 2 alone.
  KStatus limited(&bar, QStringLiteral("KA-V"), 1);
  limited.SetPanelText(QStringLiteral("two"), 2);
  EXPECT_EQ(bar.PanelText(2), QString());

  // A last panel beyond the bar's own panels cannot reach past them.
  KStatus wide(&bar, QStringLiteral("KA-V"), 7);
  wide.SetPanelText(QStringLiteral("five"), 5);
  for (int i = 0; i < 3; ++i) EXPECT_NE(bar.PanelText(i), QStringLiteral("five"));
}

TEST_F(StatusTest, UnitInfoJoinsModelSerialAndVersion) {
  status.ShowUnitInfo(QStringLiteral("KA-V"), QStringLiteral("01234"), QStringLiteral("Ver1.20"));
  EXPECT_EQ(bar.PanelText(0), QStringLiteral("KA-V/ SN=01234/ Ver1.20"));
  status.ShowUnitInfo(QStringLiteral("KA-V"), QString(), QStringLiteral("Ver1.20"));
  EXPECT_EQ(bar.PanelText(0), QStringLiteral("KA-V/ SN=/ Ver1.20"));
  EXPECT_EQ(bar.PanelText(1), QString());
}

TEST_F(StatusTest, EveryFixedTextGoesToItsPanel) {
  struct Op {
    std::function<void(KStatus&)> show;
    int panel;
    QString text;
  };
  const std::vector<Op> ops = {
      {&KStatus::ShowUnitMissing, 0, QStringLiteral("KA-V が見つかりませんでした")},
      {&KStatus::ShowPortError, 0, QStringLiteral("通信ポートが開けません")},
      {&KStatus::ShowReceiveError, 0, QStringLiteral("データ受信エラーです")},
      {&KStatus::ShowSendError, 1, QStringLiteral("コマンド送信エラーです")},
      {&KStatus::ShowResponseError, 1, QStringLiteral("KA-V 応答エラーです")},
      {&KStatus::ShowNotUnit, 1, QStringLiteral("KA-V ではありません")},
      {&KStatus::ShowNotCalibrated, 1, QStringLiteral("KA-V 未校正です")},
      {&KStatus::ShowMeasuring, 1, QStringLiteral("測定中です")},
      {&KStatus::ShowReceiving, 1, QStringLiteral("データ受信中です")},
      {&KStatus::ShowCalculating, 1, QStringLiteral("計算中です")},
      {&KStatus::ShowMeasureDone, 1, QStringLiteral("測定終了しました")},
      {&KStatus::ShowMeasureStopped, 1, QStringLiteral("測定中止しました")},
      {&KStatus::ShowCalcError, 1, QStringLiteral("データエラーで計算できませんでした")},
      {&KStatus::ShowSaveError, 1, QStringLiteral("データ保存できませんでした")},
      {&KStatus::ShowExportDone, 1, QStringLiteral("データ書き出し完了")},
  };
  for (const Op& op : ops) {
    SCOPED_TRACE(op.text.toStdString());
    for (int i = 0; i < 3; ++i) status.SetPanelText(QStringLiteral("-"), i);
    op.show(status);
    for (int i = 0; i < 3; ++i) {
      if (i == op.panel) {
        EXPECT_EQ(bar.PanelText(i), op.text);
        const int w = Measure(op.text);
        EXPECT_EQ(bar.PanelWidth(i), w <= 100 ? 110 : w + 20);
      } else {
        EXPECT_EQ(bar.PanelText(i), QStringLiteral("-"));
      }
    }
  }
  // The composed texts use the model name the writer was given.
  KStatus other(&bar, QStringLiteral("KB-X"), 2);
  other.ShowNotCalibrated();
  EXPECT_EQ(bar.PanelText(1), QStringLiteral("KB-X 未校正です"));
}

TEST_F(StatusTest, PanelsSitLeftToRightAtTheirWidths) {
  QWidget window;
  auto* layout = new QHBoxLayout(&window);
  auto* shown = new StatusPanels;
  layout->addWidget(shown);
  window.resize(800, 24);
  KStatus writer(shown, QStringLiteral("KA-V"), 2);
  writer.SetPanelText(TextOfWidth(250), 0);
  writer.ShowMeasuring();
  writer.ClearPanel(2);
  window.show();
  window.layout()->activate();
  shown->layout()->activate();
  QList<QWidget*> panels;
  for (int i = 0; i < 3; ++i) panels << shown->findChild<QWidget*>(QStringLiteral("Panel%1").arg(i));
  ASSERT_TRUE(panels[0] && panels[1] && panels[2]);
  EXPECT_EQ(panels[0]->width(), shown->PanelWidth(0));
  EXPECT_EQ(panels[1]->width(), 110);
  EXPECT_EQ(panels[2]->width(), 110);
  EXPECT_LT(panels[0]->geometry().right(), panels[1]->x());
  EXPECT_LT(panels[1]->geometry().right(), panels[2]->x());
}

TEST(StatusWithoutBar, AGoneBarMakesWritingHarmless) {
  auto* bar = new StatusPanels;
  KStatus status(bar, QStringLiteral("KA-V"), 2);
  status.ShowMeasuring();
  EXPECT_EQ(bar->PanelText(1), QStringLiteral("測定中です"));
  delete bar;
  status.ShowMeasureDone();  // must not touch the destroyed bar
  status.ClearPanel(0);
  KStatus none(nullptr, QStringLiteral("KA-V"), 2);
  none.ShowUnitInfo(QStringLiteral("KA-V"), QString(), QString());
}

}  // namespace
}  // namespace kavo
