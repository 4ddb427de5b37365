// Message boxes answer in Japanese: through Qt's own translations when they
// are installed, through the program's own button names when they are not.
#include <QAbstractButton>
#include <QMessageBox>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

// "はい(&Y)" and "&OK" read "はい" and "OK".
QString Shown(const QMessageBox& box, QMessageBox::StandardButton which) {
  const QAbstractButton* button = box.button(which);
  if (!button) return QStringLiteral("<none>");
  return button->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))).remove('&');
}

TEST(JapaneseButtons, EveryBoxOfTheQtSeamReadsInJapanese) {
  const bool loadQt[] = {true, false};
  for (const bool qt : loadQt) {
    SCOPED_TRACE(qt ? "Qt's translations" : "own names");
    if (qt) ASSERT_TRUE(LoadQtJapanese()) << "qt6-translations-l10n is not installed";
    else ASSERT_FALSE(LoadQtJapanese(QStringLiteral("/nonexistent")));

    const auto question = MakeMessageBox(nullptr, QStringLiteral("KAVO v2.1"),
                                         QStringLiteral("測定データを保存していません。終了しますか？"),
                                         MsgIcon::Question, MsgButtons::YesNoCancel);
    EXPECT_EQ(question->windowTitle(), QStringLiteral("KAVO v2.1"));
    EXPECT_EQ(question->icon(), QMessageBox::Question);
    EXPECT_EQ(Shown(*question, QMessageBox::Yes), QStringLiteral("はい"));
    EXPECT_EQ(Shown(*question, QMessageBox::No), QStringLiteral("いいえ"));
    EXPECT_EQ(Shown(*question, QMessageBox::Cancel), QStringLiteral("キャンセル"));

    const auto stop = MakeMessageBox(nullptr, QStringLiteral("KAVO"), QStringLiteral("KAVOはすでに起動しています"),
                                     MsgIcon::Stop, MsgButtons::OK);
    EXPECT_EQ(stop->icon(), QMessageBox::Critical);
    EXPECT_EQ(stop->buttons().size(), 1);
    EXPECT_EQ(Shown(*stop, QMessageBox::Ok), QStringLiteral("OK"));
  }
}

}  // namespace
}  // namespace kavo
