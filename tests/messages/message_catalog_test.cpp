// The catalogue: every message's text, caption, icon and buttons, the
// answers that count as consent, and the caption buffer.
#include "messages/Ka_message.h"
#include "ScriptedModal.h"

#include <QApplication>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <functional>

namespace kavo {
namespace {

struct Entry {
  const char* name;
  std::function<void(const TK_Message&)> show;
  QString text;
  MsgIcon icon;
};

std::vector<Entry> Informational() {
  const MsgIcon stop = MsgIcon::Stop, warn = MsgIcon::Exclamation;
  return {
      {"ShowIniSaveError", [](const TK_Message& m) { m.ShowIniSaveError(); },
       QStringLiteral("初期設定ファイルを保存できませんでした"), warn},
      {"ShowDataFileError", [](const TK_Message& m) { m.ShowDataFileError(); },
       QStringLiteral("データファイルの内容が正しくありませんでした"), stop},
      {"ShowComOpenError", [](const TK_Message& m) { m.ShowComOpenError(); },
       QStringLiteral("COMポートが開けませんでした。COM番号を確認して下さい。"), stop},
      {"ShowUnitNotFound", [](const TK_Message& m) { m.ShowUnitNotFound(); },
       QStringLiteral("KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。"), stop},
      {"ShowCalcDataError", [](const TK_Message& m) { m.ShowCalcDataError(); },
       QStringLiteral("データエラーで計算できませんでした"), stop},
      {"ShowNoData", [](const TK_Message& m) { m.ShowNoData(); },
       QStringLiteral("データがありません"), stop},
      {"ShowVersionMismatch", [](const TK_Message& m) { m.ShowVersionMismatch(); },
       QStringLiteral("ユニットとアプリケーションのバージョンがミスマッチです"), stop},
      {"ShowMeasureRefused", [](const TK_Message& m) { m.ShowMeasureRefused(); },
       QStringLiteral("KA-Vユニットが測定を開始できませんでした。ユニットを確認して下さい。"), stop},
      {"ShowTooManyReferences", [](const TK_Message& m) { m.ShowTooManyReferences(); },
       QStringLiteral("参照データは５個までにしてください"), stop},
      {"ShowOverRange", [](const TK_Message& m) { m.ShowOverRange(); },
       QStringLiteral("抵抗値の最大値が150Ωを越えています"), warn},
      {"ShowFatalMemoryError", [](const TK_Message& m) { m.ShowFatalMemoryError(QStringLiteral("Graph_RTF")); },
       QStringLiteral("致命的なメモリエラーです:Graph_RTF"), stop},
  };
}

struct Question {
  const char* name;
  std::function<bool(const TK_Message&)> ask;
  QString text;
};

std::vector<Question> Questions() {
  return {
      {"ConfirmDiscardAndMeasure", [](const TK_Message& m) { return m.ConfirmDiscardAndMeasure(); },
       QStringLiteral("測定データを保存していません。破棄して新しい測定を開始しますか？")},
      {"ConfirmDiscardData", [](const TK_Message& m) { return m.ConfirmDiscardData(); },
       QStringLiteral("測定データを保存していません。データを破棄しますか？")},
      {"ConfirmQuit", [](const TK_Message& m) { return m.ConfirmQuit(); },
       QStringLiteral("測定データを保存していません。終了しますか？")},
      {"ConfirmDiscard", [](const TK_Message& m) { return m.ConfirmDiscard(); },
       QStringLiteral("測定データを保存していません。破棄しますか？")},
  };
}

TEST(MessageCatalog, ErrorsAndWarningsShowTheirTextUnderTheCaptionWithOk) {
  TK_Message catalog(QStringLiteral("KA-V"), "KAVO v2.1");
  for (const Entry& e : Informational()) {
    SCOPED_TRACE(e.name);
    ScopedScriptedModal modal;
    e.show(catalog);
    ASSERT_EQ(modal->calls.size(), 1u);
    const ModalCall& call = modal->calls[0];
    EXPECT_EQ(call.kind, ModalKind::Message);
    EXPECT_EQ(call.caption, QStringLiteral("KAVO v2.1"));
    EXPECT_EQ(call.text, e.text);
    EXPECT_EQ(call.icon, e.icon);
    EXPECT_EQ(call.buttons, MsgButtons::OK);
  }
}

TEST(MessageCatalog, QuestionsAreYesNoWithExclamationAndOnlyYesConsents) {
  TK_Message catalog(QStringLiteral("KA-V"), "KAVO v2.1");
  for (const Question& q : Questions()) {
    SCOPED_TRACE(q.name);
    ScopedScriptedModal modal;
    modal->messageAnswers = {MsgResult::Yes, MsgResult::No, MsgResult::Cancel, MsgResult::OK};
    EXPECT_TRUE(q.ask(catalog));
    EXPECT_FALSE(q.ask(catalog));
    EXPECT_FALSE(q.ask(catalog));
    EXPECT_FALSE(q.ask(catalog));
    ASSERT_EQ(modal->calls.size(), 4u);
    for (const ModalCall& call : modal->calls) {
      EXPECT_EQ(call.caption, QStringLiteral("KAVO v2.1"));
      EXPECT_EQ(call.text, q.text);
      EXPECT_EQ(call.icon, MsgIcon::Exclamation);
      EXPECT_EQ(call.buttons, MsgButtons::YesNo);
      EXPECT_EQ(call.defaultButton, MsgResult::No);
    }
  }
}

// On the real box Return or Space keeps the measurement; Yes takes Alt+Y,
// or Tab to it and Return. With Qt's texts and with the program's own.
TEST(MessageCatalog, OnTheRealBoxReturnAnswersNoAndYesNeedsADeliberateKey) {
  TK_Message catalog(QStringLiteral("KA-V"), "KAVO v2.1");
  using Keys = std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>;
  const std::pair<Keys, bool> cases[] = {{{{Qt::Key_Return, {}}}, false}, {{{Qt::Key_Space, {}}}, false},
                                         {{{Qt::Key_Y, Qt::AltModifier}}, true},
                                         {{{Qt::Key_Tab, {}}, {Qt::Key_Return, {}}}, true}};
  for (const bool qt : {true, false}) {
    ASSERT_EQ(LoadQtJapanese(qt ? QString() : QStringLiteral("/nonexistent")), qt);
    for (const Question& q : Questions())
      for (const auto& [keys, consent] : cases) {
        QTimer::singleShot(0, [&keys = keys] {
          ASSERT_TRUE(QTest::qWaitForWindowActive(QApplication::activeModalWidget()));
          for (const auto& [key, modifiers] : keys) QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        });
        EXPECT_EQ(q.ask(catalog), consent) << q.name << " " << keys.size() << " " << qt;
      }
  }
}

TEST(MessageCatalog, FatalErrorOfTheCatalogItselfNeedsNoCatalog) {
  ScopedScriptedModal modal;
  ShowCatalogFatalError();
  ASSERT_EQ(modal->calls.size(), 1u);
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("KAVO v2.1"));
  EXPECT_EQ(modal->calls[0].text, QStringLiteral("致命的なメモリエラーです:TK_Message"));
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
  EXPECT_EQ(modal->calls[0].buttons, MsgButtons::OK);
}

TEST(MessageCatalog, CaptionIsKeptToElevenBytesAndModelNameKept) {
  EXPECT_EQ(TK_Message(QStringLiteral("KA-V"), "ABCDEFGHIJK").Caption(), QStringLiteral("ABCDEFGHIJK"));
  EXPECT_EQ(TK_Message(QStringLiteral("KA-V"), "ABCDEFGHIJKLMNOP").Caption(), QStringLiteral("ABCDEFGHIJK"));
  EXPECT_EQ(TK_Message(QStringLiteral("KA-V"), nullptr).Caption(), QString());
  // A character that would straddle the 11th byte is left out whole.
  EXPECT_EQ(TK_Message(QStringLiteral("KA-V"), "ABCDEFGHIJ\xC3\xA9").Caption(), QStringLiteral("ABCDEFGHIJ"));
  EXPECT_EQ(TK_Message(QStringLiteral("KA-V"), "KAVO v2.1").ModelName(), QStringLiteral("KA-V"));

  ScopedScriptedModal modal;
  TK_Message(QStringLiteral("KA-V"), "KAVO v2.1 long caption").ShowNoData();
  ASSERT_EQ(modal->calls.size(), 1u);
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("KAVO v2.1 l"));
}

}  // namespace
}  // namespace kavo
