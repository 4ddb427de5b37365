// Where the single-instance lock may live, and what happens when there is
// no such place: the program starts unguarded instead of ending silently.
#include <QDir>
#include <QFile>
#include <QTimer>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include "MainWindowFixture.h"
#include "platform/desktop/SingleInstance.h"
#include "shell/Program.h"

namespace kavo::test {
namespace {

// Runs the whole program until its main window has been shown, then closes
// it; returns the exit code, or -1 when no window came up.
int RunUntilShown() {
  bool shown = false;
  QTimer watch;
  watch.setInterval(10);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    TFormMain* main = Forms().main;
    if (main && main->isVisible()) {
      shown = true;
      main->close();
    }
  });
  watch.start();
  QTimer giveUp;
  giveUp.setSingleShot(true);
  QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::quit(); });
  giveUp.start(10000);
  const int code = RunProgram();
  return shown ? code : -1;
}

struct SpoiltFolder {
  const char* name;
  // Turns the private folder `path` (where a copy is running) into an unsafe one.
  std::function<void(const QString& path)> spoil;
  bool needsRoot = false;
};

TEST_F(MainWindowTest, UnsafeLockFolderIsNeverUsedAndTheProgramStartsUnguarded) {
  const SpoiltFolder cases[] = {
      {"missing", [](const QString& p) { QDir(p).removeRecursively(); }},
      {"not writable", [](const QString& p) { ::chmod(QFile::encodeName(p).constData(), 0500); }},
      {"open to others", [](const QString& p) { ::chmod(QFile::encodeName(p).constData(), 0755); }},
      {"a link to a private folder",
       [](const QString& p) {
         QFile::rename(p, p + QStringLiteral(".real"));
         QFile::link(p + QStringLiteral(".real"), p);
       }},
      {"owned by another user", [](const QString& p) { (void)::chown(QFile::encodeName(p).constData(), 65534, 65534); },
       true},
  };
  for (const SpoiltFolder& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.needsRoot && ::geteuid() != 0) continue;  // only root can give a folder away
    const QString folder = dir.Path(QString::fromUtf8(c.name).replace(' ', '_'));
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    qputenv("KAVO_RUNTIME_DIR", QFile::encodeName(folder));
    ASSERT_EQ(RuntimeDir(), folder + '/');

    // A running copy, found while the folder is still private.
    int raised = 0;
    {
      SingleInstance other;
      ASSERT_TRUE(other.Acquire(QStringLiteral("KAVO")));
      ASSERT_TRUE(other.Listen(QStringLiteral("KAVO"), [&] { ++raised; }));
      ASSERT_EQ(CheckOtherCopies(), 1);
      ASSERT_TRUE(PumpUntil([&] { return raised == 1; }));
      modal->calls.clear();

      c.spoil(folder);
      EXPECT_FALSE(IsPrivateDir(folder));
      EXPECT_EQ(RuntimeDir(), QString());
      // Neither the lock nor the socket in the spoilt folder is looked at.
      EXPECT_FALSE(SingleInstance::IsHeld(QStringLiteral("KAVO")));
      EXPECT_FALSE(SingleInstance::WindowExists(QStringLiteral("KAVO")));
      EXPECT_EQ(CheckOtherCopies(), 0);
      PumpFor(50);
      EXPECT_EQ(raised, 1);
      EXPECT_TRUE(modal->calls.empty());
    }

    // The program itself comes up, and leaves nothing in the folder.
    const QStringList before = QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System);
    EXPECT_EQ(RunUntilShown(), 0);
    DestroyForms();
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), before);
    ::chmod(QFile::encodeName(folder).constData(), 0700);  // lets the scratch folder be removed
  }
}

TEST_F(MainWindowTest, SystemRuntimeFolderFallsBackToAPrivateTemporaryFolder) {
  qunsetenv("KAVO_RUNTIME_DIR");
  const QByteArray oldTmp = qgetenv("TMPDIR");
  const QByteArray oldXdg = qgetenv("XDG_RUNTIME_DIR");
  const QString tmp = dir.Path(QStringLiteral("tmp"));
  ASSERT_TRUE(QDir().mkdir(tmp));
  qputenv("TMPDIR", QFile::encodeName(tmp));
  const QString fallback = tmp + QStringLiteral("/kavo-%1").arg(::geteuid());

  // A runtime folder others can enter (inherited after su, say) is passed over.
  const QString xdg = dir.Path(QStringLiteral("xdg"));
  ASSERT_TRUE(QDir().mkdir(xdg));
  ::chmod(QFile::encodeName(xdg).constData(), 0755);
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(xdg));
  EXPECT_EQ(RuntimeDir(), fallback + '/');
  struct stat st {};
  ASSERT_EQ(::lstat(QFile::encodeName(fallback).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // One of ours that others could only read (as earlier versions made it)
  // is closed up and used.
  ::chmod(QFile::encodeName(fallback).constData(), 0755);
  EXPECT_EQ(RuntimeDir(), fallback + '/');
  ASSERT_EQ(::lstat(QFile::encodeName(fallback).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A fallback that others could write into is not used.
  ::chmod(QFile::encodeName(fallback).constData(), 0777);
  EXPECT_EQ(RuntimeDir(), QString());

  // A private runtime folder is used as it is.
  ::chmod(QFile::encodeName(xdg).constData(), 0700);
  EXPECT_EQ(RuntimeDir(), xdg + '/');

  if (oldTmp.isNull()) qunsetenv("TMPDIR");
  else qputenv("TMPDIR", oldTmp);
  if (oldXdg.isNull()) qunsetenv("XDG_RUNTIME_DIR");
  else qputenv("XDG_RUNTIME_DIR", oldXdg);
}

}  // namespace
}  // namespace kavo::test
