// The whole program under its own application object: what a user sees when
// an exception escapes start-up or the event loop.
#include <QDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

#include "EventPump.h"
#include "TempDir.h"
#include "ScriptedModal.h"
#include "platform/desktop/SingleInstance.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"
#include "shell/Program.h"

namespace kavo::test {
namespace {

// Throws instead of showing the first box; records the ones after it.
struct ThrowingModal : ScriptedModal {
  bool thrown = false;
  MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                    MsgButtons buttons) override {
    if (!thrown) {
      thrown = true;
      throw std::runtime_error("設定を読めません");
    }
    return ScriptedModal::Message(parent, caption, text, icon, buttons);
  }
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
    SetModal(&modal);
  }
  void TearDown() override {
    SetModal(nullptr);
    DestroyForms();
  }
  void ExpectOneExceptionBox() {
    ASSERT_EQ(modal.MessageTexts(), QStringList{QStringLiteral("設定を読めません\n\nKAVOを終了します。")});
    EXPECT_EQ(modal.calls[0].caption, QStringLiteral("KAVO"));
    EXPECT_EQ(modal.calls[0].icon, MsgIcon::Stop);
    EXPECT_EQ(Forms().main, nullptr);
    EXPECT_FALSE(SingleInstance::IsHeld(QStringLiteral("KAVO")));
  }

  TempDir dir;
  ThrowingModal modal;
};

QStringList qtWarnings;

void RecordWarning(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type != QtDebugMsg && type != QtInfoMsg) qtWarnings << text;
}

TEST_F(ProgramTest, ExceptionInTheEventLoopIsShownAndTheRunEndsWithZero) {
  // Caught where the event is delivered, it never unwinds through Qt's loop
  // (which Qt would report before passing it on).
  qtWarnings.clear();
  const QtMessageHandler previous = qInstallMessageHandler(RecordWarning);
  // The first idle pass warns that the settings cannot be written; the
  // warning throws inside the pass, inside the event loop.
  QDir(dir.Root()).mkdir(QStringLiteral("KAVO_ini.prf"));
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(7); });
  giveUp.start(10000);
  EXPECT_EQ(RunProgram(), 0);
  qInstallMessageHandler(previous);
  EXPECT_TRUE(giveUp.isActive());
  EXPECT_TRUE(qtWarnings.filter(QStringLiteral("exception")).isEmpty()) << qtWarnings.join('\n').toStdString();
  EXPECT_TRUE(modal.thrown);
  ExpectOneExceptionBox();
  // The loop is usable again afterwards.
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  EXPECT_TRUE(PumpUntil([&] { return ran; }));
}

TEST_F(ProgramTest, ExceptionDuringStartUpIsShownAndTheRunEndsWithZero) {
  // Another copy answers, so start-up asks the user something: that throws.
  SingleInstance other;
  ASSERT_TRUE(other.Acquire(QStringLiteral("KAVO")));
  ASSERT_TRUE(other.Listen(QStringLiteral("KAVO"), [] {}));
  EXPECT_EQ(RunProgram(), 0);
  other.Release();
  EXPECT_TRUE(modal.thrown);
  ExpectOneExceptionBox();
}

}  // namespace
}  // namespace kavo::test

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  kavo::KavoApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
