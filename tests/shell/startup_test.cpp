#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>

#include "MainWindowFixture.h"
#include "MainProbe.h"
#include "platform/desktop/SingleInstance.h"
#include "shell/Program.h"

namespace kavo::test {
namespace {

QByteArray DefaultSettingsText() {
  QByteArray text = "KAVO_ini\r\nCommPortNum:1\r\nPenColor_R:16711680\r\nPenColor_Theta:255\r\n";
  for (int i = 0; i < 5; ++i)
    text += QByteArray("PenColor_R_Ref[") + QByteArray::number(i) + "]:8421376\r\nPenColor_Theta_Ref[" +
            QByteArray::number(i) + "]:8388736\r\n";
  text += "pstr:\r\npstr:\r\npstr:\r\ntop:178\r\nleft:255\r\nwidth:640\r\nheight:480\r\nband:1\r\n"
          "fronly:0\r\nfwide:0\r\nfave3:1\r\nfwarning:0\r\nEND:\r\n";
  return text;
}

TEST_F(MainWindowTest, FirstRunWritesDefaultsOnTheFirstIdlePassOnly) {
  main = CreateForms();
  ASSERT_FALSE(main->mStartupFailed());
  EXPECT_EQ(main->windowTitle(), QStringLiteral("KAVO v2.1"));
  // Creation alone reads and writes nothing.
  EXPECT_EQ(TFormMainProbe(main).settingsPending(), 1);
  EXPECT_FALSE(QFile::exists(SettingsFile()));

  ASSERT_TRUE(PumpUntil([&] { return TFormMainProbe(main).settingsPending() == 0; }));
  EXPECT_EQ(ReadAll(SettingsFile()).toStdString(), DefaultSettingsText().toStdString());
  EXPECT_TRUE(modal->calls.empty());

  // Initial state after start-up.
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 0);
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 0);
  EXPECT_EQ(TFormMainProbe(main).graphScale().band, 1);
  EXPECT_TRUE(TFormMainProbe(main).MenuGraph_Ave()->isChecked());
  EXPECT_FALSE(TFormMainProbe(main).MenuGraph_R_only()->isChecked());
  EXPECT_FALSE(main->AnyRefLoaded());
  EXPECT_EQ(TFormMainProbe(main).refCount(), 0);
  EXPECT_EQ(TFormMainProbe(main).graphScale().data, &TFormMainProbe(main).aveValues());
}

TEST_F(MainWindowTest, StoredSettingsAreAppliedOnceAndGeometryIsClamped) {
  QByteArray text = DefaultSettingsText();
  text.replace("CommPortNum:1", "CommPortNum:7");
  text.replace("width:640", "width:5000");
  text.replace("top:178", "top:5000");
  text.replace("band:1", "band:3");
  text.replace("fronly:0", "fronly:5");
  text.replace("fave3:1", "fave3:0");
  ASSERT_TRUE(WriteAll(SettingsFile(), text));

  Start();
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 7);
  EXPECT_EQ(main->width(), screen.width() - 100);
  EXPECT_EQ(main->pos().y(), 100);
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 2);
  EXPECT_EQ(TFormMainProbe(main).graphScale().band, 3);
  EXPECT_EQ(TFormMainProbe(main).graphScale().freqMin, 250);
  EXPECT_EQ(TFormMainProbe(main).mainData().band, 1);  // the data's own band is not touched
  EXPECT_TRUE(TFormMainProbe(main).MenuGraph_R_only()->isChecked());
  EXPECT_FALSE(TFormMainProbe(main).MenuGraph_Ave()->isChecked());
  EXPECT_EQ(TFormMainProbe(main).graphScale().data, &TFormMainProbe(main).rawValues());
  // The stored width, not the clamped one, stays in the view record until
  // the user resizes.
  EXPECT_EQ(TFormMainProbe(main).view().width, 5000);

  // Read exactly once: a later change of the file is not picked up.
  text.replace("CommPortNum:7", "CommPortNum:9");
  ASSERT_TRUE(WriteAll(SettingsFile(), text));
  PumpFor(50);
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 7);
}

TEST_F(MainWindowTest, StoredPositionOffEveryScreenIsMovedBackOnIt) {
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  const struct {
    int left, top;
    QPoint expected;
  } cases[] = {
      {255, -5000, {100, 100}},                            // far above
      {-5000, 178, {100, 100}},                            // far left
      {-640, -480, {100, 100}},                            // touching the corner only
      {screen.width() - 10, screen.height() - 10, {screen.width() - 10, screen.height() - 10}},
      {-600, 178, {-600, 178}},                            // 40 pixels still on screen
      {255, -470, {255, -470}},                            // the bottom edge still on screen
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QStringLiteral("left %1 top %2").arg(c.left).arg(c.top).toStdString());
    QByteArray text = DefaultSettingsText();
    text.replace("top:178", "top:" + QByteArray::number(c.top));
    text.replace("left:255", "left:" + QByteArray::number(c.left));
    ASSERT_TRUE(WriteAll(SettingsFile(), text));
    Start();
    EXPECT_EQ(main->pos(), c.expected);
    DestroyForms();
  }
}

TEST_F(MainWindowTest, RejectedSettingsFileIsReplacedSilently) {
  ASSERT_TRUE(WriteAll(SettingsFile(), "KAVO_ini\r\nCommPortNum:999\r\n"));
  Start();
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 1);
  EXPECT_EQ(ReadAll(SettingsFile()).toStdString(), DefaultSettingsText().toStdString());
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
}

TEST_F(MainWindowTest, UnwritableSettingsLocationWarnsOnce) {
  // A directory where the file should be: the write must fail.
  QDir(dir.Root()).mkdir(QStringLiteral("KAVO_ini.prf"));
  Start();
  ASSERT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("初期設定ファイルを保存できませんでした")});
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("KAVO v2.1"));
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Exclamation);
}

// A message box shown from inside an idle pass runs a loop of its own; no
// second pass may start inside it.
TEST_F(MainWindowTest, NoIdlePassRunsInsideAModalBoxOfAPass) {
  struct NestedLoopModal : ScriptedModal {
    TFormMain** window = nullptr;
    uint64_t passesInside = 99;
    MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                      MsgButtons buttons) override {
      TFormMain* main = *window;
      const uint64_t before = TFormMainProbe(main).idlePasses();
      TFormMainProbe(main).statusLayoutPending() = 1;
      PumpFor(60);  // a real box waits in its own event loop like this
      passesInside = TFormMainProbe(main).idlePasses() - before;
      return ScriptedModal::Message(parent, caption, text, icon, buttons);
    }
  } nested;
  nested.window = &main;
  SetModal(&nested);
  QDir(dir.Root()).mkdir(QStringLiteral("KAVO_ini.prf"));  // the first pass warns
  Start();
  SetModal(&modal.seam);
  ASSERT_EQ(nested.MessageTexts().size(), 1);
  EXPECT_EQ(nested.passesInside, 0u);
  EXPECT_TRUE(PumpUntil([&] { return TFormMainProbe(main).statusLayoutPending() == 0; }));
}

TEST_F(MainWindowTest, CloseCommandWritesTheSettings) {
  Start();
  main->show();
  TFormMainProbe(main).settings().CommPortNum = 12;
  main->MenuSet_WarningClick();
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(3);
  main->close();
  const QByteArray text = ReadAll(SettingsFile());
  EXPECT_TRUE(text.contains("\r\nCommPortNum:12\r\n"));
  EXPECT_TRUE(text.contains("\r\nband:4\r\n"));
  EXPECT_TRUE(text.contains("\r\nfwarning:1\r\n"));
}

TEST_F(MainWindowTest, QuitAsksOnlyForUnsavedData) {
  Start();
  main->show();
  // Nothing to lose: no question.
  main->QuitBtnClick();
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(modal->MessageTexts().isEmpty());

  main->show();
  TFormMainProbe(main).mainData().valid = 1;
  TFormMainProbe(main).dataSaved() = 0;
  QFile::remove(SettingsFile());
  modal->messageAnswers.push_back(MsgResult::No);
  main->MenuFile_QuitClick();
  EXPECT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("測定データを保存していません。終了しますか？")});
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(QFile::exists(SettingsFile()));

  modal->messageAnswers.push_back(MsgResult::Yes);
  main->QuitBtnClick();
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(QFile::exists(SettingsFile()));

  // Saved data asks nothing.
  main->show();
  TFormMainProbe(main).dataSaved() = 1;
  main->QuitBtnClick();
  EXPECT_EQ(modal->MessageTexts().size(), 2);
}

TEST_F(MainWindowTest, VersionWindowIsShownModally) {
  Start();
  main->MenuHelp_VersionClick();
  ASSERT_EQ(modal->calls.size(), 1u);
  EXPECT_EQ(modal->calls[0].kind, ModalKind::Dialog);
  EXPECT_EQ(modal->calls[0].dialogName, QStringLiteral("TFormVersion"));
}

TEST_F(MainWindowTest, WarningSwitchTogglesAndSurvivesRestart) {
  Start();
  main->MenuSet_WarningClick();
  main->MenuSet_WarningClick();
  EXPECT_FALSE(TFormMainProbe(main).MenuSet_Warning()->isChecked());
  // Chosen from the menu, the item toggles exactly once too.
  TFormMainProbe(main).MenuSet_Warning()->trigger();
  EXPECT_TRUE(TFormMainProbe(main).MenuSet_Warning()->isChecked());
  TFormMainProbe(main).MenuGraph_Ave()->trigger();
  EXPECT_FALSE(TFormMainProbe(main).MenuGraph_Ave()->isChecked());
  TFormMainProbe(main).MenuSet_Warning()->trigger();
  main->MenuSet_WarningClick();
  main->close();
  DestroyForms();
  Start();
  EXPECT_TRUE(TFormMainProbe(main).MenuSet_Warning()->isChecked());
}

TEST_F(MainWindowTest, SecondCopyIsTurnedAwayAndRaisesTheFirst) {
  EXPECT_EQ(CheckOtherCopies(), 0);

  SingleInstance first;
  ASSERT_TRUE(first.Acquire(QStringLiteral("KAVO")));
  // A lock without a window: silently 1.
  EXPECT_EQ(CheckOtherCopies(), 1);
  EXPECT_TRUE(modal->calls.empty());

  int raised = 0;
  ASSERT_TRUE(first.Listen(QStringLiteral("KAVO"), [&] { ++raised; }));
  EXPECT_EQ(CheckOtherCopies(), 1);
  ASSERT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("KAVOはすでに起動しています")});
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("KAVO"));
  EXPECT_EQ(modal->calls[0].icon, MsgIcon::Stop);
  EXPECT_TRUE(PumpUntil([&] { return raised == 1; }));
}

TEST_F(MainWindowTest, SiblingProgramIsReportedWhenOnlyItRuns) {
  SingleInstance sibling;
  ASSERT_TRUE(sibling.Acquire(QStringLiteral("KAVO2")));
  int raised = 0;
  ASSERT_TRUE(sibling.Listen(QStringLiteral("KAVO2"), [&] { ++raised; }));
  EXPECT_EQ(CheckOtherCopies(), 1);
  ASSERT_EQ(modal->MessageTexts(), QStringList{QStringLiteral("KAVO2がすでに起動しています")});
  EXPECT_EQ(modal->calls[0].caption, QStringLiteral("KAVO2"));
  EXPECT_TRUE(PumpUntil([&] { return raised == 1; }));

  // Both running: only the first message.
  SingleInstance first;
  ASSERT_TRUE(first.Acquire(QStringLiteral("KAVO")));
  ASSERT_TRUE(first.Listen(QStringLiteral("KAVO"), [] {}));
  EXPECT_EQ(CheckOtherCopies(), 1);
  EXPECT_EQ(modal->MessageTexts().last(), QStringLiteral("KAVOはすでに起動しています"));
  EXPECT_EQ(modal->MessageTexts().size(), 2);
}

}  // namespace
}  // namespace kavo::test
