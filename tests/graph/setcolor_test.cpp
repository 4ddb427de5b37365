// The line colour dialog: a working copy per showing, the reference
// selector, the picker's start colour, and set versus every way of cancelling.
#include "graph/dialogs/Setcolor.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

#include "graph/PaintBox.h"
#include "ScriptedModal.h"

namespace kavo::test {
namespace {

// The colour a swatch shows on screen, 0x00BBGGRR, from its middle pixel.
int32_t Shown(PaintBox* swatch) {
  const QImage image = swatch->grab().toImage();
  const QRgb c = image.pixel(image.width() / 2, image.height() / 2);
  return qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
}

class ColourDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settings.CommPortNum = 9;
    settings.pstr[1] = "kept";
    before = settings;
    dialog.Prepare(settings, cancelled);
    dialog.show();
  }
  static bool Same(const SettingsRecord& a, const SettingsRecord& b) {
    bool same = a.CommPortNum == b.CommPortNum && a.PenColor_R == b.PenColor_R &&
                a.PenColor_Theta == b.PenColor_Theta;
    for (int k = 0; k < MaxRefs; ++k)
      same = same && a.PenColor_R_Ref[k] == b.PenColor_R_Ref[k] && a.PenColor_Theta_Ref[k] == b.PenColor_Theta_Ref[k];
    for (int i = 0; i < 3; ++i) same = same && a.pstr[i] == b.pstr[i];
    return same;
  }
  void Click(PaintBox* swatch) { emit swatch->MouseDown(3, 3, Qt::LeftButton); }

  ScopedScriptedModal modal;
  TFormSetColor dialog;
  SettingsRecord settings, before;
  uint8_t cancelled = 0;
};

TEST_F(ColourDialogTest, ReferenceSelectorShowsEachPositionsColours) {
  EXPECT_EQ(dialog.windowTitle(), QStringLiteral("グラフ線色設定"));
  EXPECT_EQ(dialog.size(), QSize(241, 349));
  EXPECT_EQ(dialog.ComboBox1->count(), 5);
  EXPECT_EQ(dialog.ComboBox1->currentText(), QStringLiteral("データ１"));
  EXPECT_EQ(dialog.ComboBox1->itemText(4), QStringLiteral("データ５"));
  EXPECT_EQ(Shown(dialog.PaintBox1), 0xFF0000);
  EXPECT_EQ(Shown(dialog.PaintBox2), 0x0000FF);
  EXPECT_EQ(Shown(dialog.PaintBox3), 0x808000);
  EXPECT_EQ(Shown(dialog.PaintBox4), 0x800080);

  // Position 2 ("データ３") gets new colours; the picker opens at the
  // colour being changed.
  dialog.ComboBox1->setCurrentIndex(2);
  modal->colorAnswers = {0x00AA11, 0x3344CC};
  Click(dialog.PaintBox3);
  Click(dialog.PaintBox4);
  ASSERT_EQ(modal->calls.size(), 2u);
  EXPECT_EQ(modal->calls[0].kind, ModalKind::Color);
  EXPECT_EQ(modal->calls[0].color, 0x808000u);
  EXPECT_EQ(modal->calls[1].color, 0x800080u);
  EXPECT_EQ(Shown(dialog.PaintBox3), 0x00AA11);
  EXPECT_EQ(Shown(dialog.PaintBox4), 0x3344CC);

  dialog.ComboBox1->setCurrentIndex(0);
  EXPECT_EQ(Shown(dialog.PaintBox3), 0x808000);
  EXPECT_EQ(Shown(dialog.PaintBox4), 0x800080);
  dialog.ComboBox1->setCurrentIndex(2);
  EXPECT_EQ(Shown(dialog.PaintBox3), 0x00AA11);

  // A cancelled picker changes nothing.
  Click(dialog.PaintBox1);
  EXPECT_EQ(Shown(dialog.PaintBox1), 0xFF0000);
  EXPECT_EQ(modal->calls.back().color, 0xFF0000u);

  dialog.SetBtn->click();
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(settings.PenColor_R_Ref[2], 0x00AA11);
  EXPECT_EQ(settings.PenColor_Theta_Ref[2], 0x3344CC);
  // Everything else, untouched fields included, is as it was.
  settings.PenColor_R_Ref[2] = before.PenColor_R_Ref[2];
  settings.PenColor_Theta_Ref[2] = before.PenColor_Theta_Ref[2];
  EXPECT_TRUE(Same(settings, before));
}

TEST_F(ColourDialogTest, CancelInAnyWayKeepsTheColours) {
  const std::function<void()> leaves[] = {
      [&] { dialog.CancelBtn->click(); },
      [&] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&dialog, &escape);
      },
      [&] { dialog.close(); },
  };
  for (const auto& leave : leaves) {
    dialog.Prepare(settings, cancelled);
    dialog.show();
    modal->colorAnswers = {0x010203, 0x040506, 0x070809};
    Click(dialog.PaintBox1);
    Click(dialog.PaintBox2);
    dialog.ComboBox1->setCurrentIndex(4);
    Click(dialog.PaintBox3);
    leave();
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(Same(settings, before));
  }
  // The next showing starts from the settings again, not from dropped edits.
  dialog.Prepare(settings, cancelled);
  EXPECT_EQ(dialog.ComboBox1->currentIndex(), 0);
  EXPECT_EQ(dialog.SwatchColour(1), 0xFF0000);
  dialog.ComboBox1->setCurrentIndex(4);
  EXPECT_EQ(dialog.SwatchColour(3), 0x808000);
}

}  // namespace
}  // namespace kavo::test
