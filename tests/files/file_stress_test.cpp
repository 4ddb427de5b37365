// Saving, exporting and the settings write at quit when the disk is full,
// the folder is read-only, the name is taken by a folder, or the file or
// its folder changes between the dialog and the write. Every failure must be
// reported, leave the previous file byte for byte and leave nothing behind.
// The tests run as root in CI, so a read-only folder is made by dropping the
// capability that lets root write anywhere, for the write only.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPushButton>
#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "MainProbe.h"
#include "FullDisk.h"
#include "MainWindowFixture.h"
#include "Records.h"
#include "data/Kavo_data.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"

// Readable failures: QStrings print as their text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kavo::test {
namespace {

// Without CAP_DAC_OVERRIDE even root obeys a folder's missing write bit.
// Capabilities belong to the thread; the writes happen on this one.
class ScopedNoDacOverride {
 public:
  ScopedNoDacOverride() {
    if (syscall(SYS_capget, &header_, saved_) != 0) return;
    __user_cap_data_struct reduced[2] = {saved_[0], saved_[1]};
    reduced[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
    changed_ = syscall(SYS_capset, &header_, reduced) == 0;
  }
  ~ScopedNoDacOverride() {
    if (changed_) syscall(SYS_capset, &header_, saved_);
  }

 private:
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool changed_ = false;
};

// A file can be created in `folder` right now.
bool CanCreateIn(const QString& folder) {
  const QByteArray probe = QFile::encodeName(folder + QStringLiteral("/.probe"));
  const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(probe.constData());
  return true;
}

// The scripted seam, with a hook that runs once right after the last
// question before the write has been answered: the file dialog, or the
// overwrite question when one comes.
class RacingModal : public ScriptedModal {
 public:
  std::function<void()> hook;
  bool hookOnQuestion = false;

  bool SaveFileName(QWidget* parent, const QString& filter, const QString& initialName, QString& path) override {
    const bool chosen = ScriptedModal::SaveFileName(parent, filter, initialName, path);
    if (!hookOnQuestion) Fire();
    return chosen;
  }
  MsgResult Message(QWidget* parent, const QString& caption, const QString& text, MsgIcon icon,
                    MsgButtons buttons) override {
    const MsgResult answer = ScriptedModal::Message(parent, caption, text, icon, buttons);
    if (hookOnQuestion && buttons == MsgButtons::YesNo) Fire();
    return answer;
  }

 private:
  void Fire() {
    if (!hook) return;
    auto h = std::move(hook);
    hook = nullptr;
    h();
  }
};

enum class Command { Save, Export, Quit };

class FileStressTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    SetModal(&racing);
  }
  void TearDown() override {
    noDac.reset();
    fsize.reset();
    SetModal(&modal.seam);  // whatever is asked while closing down
    MainWindowTest::TearDown();
  }
  QString Panel(int i) const { return TFormMainProbe(main).StatusBar1()->PanelText(i); }

  RacingModal racing;
  std::unique_ptr<ScopedFileSizeLimit> fsize;
  std::unique_ptr<ScopedNoDacOverride> noDac;
};

TEST_F(FileStressTest, FailedWritesReportKeepTheOldFileAndLeaveNothingBehind) {
  const QByteArray oldBytes = "the previous file\r\n";
  const QString saveError = QStringLiteral("データ保存できませんでした");
  const QString iniError = QStringLiteral("初期設定ファイルを保存できませんでした");

  enum class Sabotage { None, FullDisk, ReadOnlyFolder, RemoveFile, FileToFolder, RemoveFolder };
  struct Case {
    const char* name;
    Command command;
    const char* old;     // previous file in the case's folder ("" none)
    const char* chosen;  // answered by the dialog; for quitting, the settings file
    Sabotage sabotage;   // done after the last question before the write
    bool fails;
    QStringList after;   // the case's folder afterwards
  };
  const Case cases[] = {
      {"full disk, save", Command::Save, "m.DTA", "m.DTA", Sabotage::FullDisk, true, {"m.DTA"}},
      {"full disk, export", Command::Export, "m.txt", "m", Sabotage::FullDisk, true, {"m.txt"}},
      {"full disk, settings at quit", Command::Quit, "KAVO_ini.prf", "KAVO_ini.prf", Sabotage::FullDisk, true,
       {"KAVO_ini.prf"}},
      {"read-only folder, save", Command::Save, "m.DTA", "m.DTA", Sabotage::ReadOnlyFolder, true, {"m.DTA"}},
      {"read-only folder, new file", Command::Save, "", "new", Sabotage::ReadOnlyFolder, true, {}},
      {"read-only folder, export", Command::Export, "m.txt", "m.txt", Sabotage::ReadOnlyFolder, true, {"m.txt"}},
      {"read-only folder, settings at quit", Command::Quit, "KAVO_ini.prf", "KAVO_ini.prf",
       Sabotage::ReadOnlyFolder, true, {"KAVO_ini.prf"}},
      {"name is a folder, save", Command::Save, "m.DTA/keep", "m", Sabotage::None, true, {"m.DTA/", "m.DTA/keep"}},
      {"name is a folder, settings at quit", Command::Quit, "KAVO_ini.prf/keep", "KAVO_ini.prf", Sabotage::None,
       true, {"KAVO_ini.prf/", "KAVO_ini.prf/keep"}},
      {"parent is a file, save", Command::Save, "f.DTA", "f.DTA/m.DTA", Sabotage::None, true, {"f.DTA"}},
      {"replaced by a folder after the question", Command::Save, "m.DTA", "m.DTA", Sabotage::FileToFolder, true,
       {"m.DTA/"}},
      {"folder removed after the question", Command::Save, "m.DTA", "m.DTA", Sabotage::RemoveFolder, true, {}},
      {"folder removed after the question, export", Command::Export, "m.txt", "m.txt", Sabotage::RemoveFolder,
       true, {}},
      // Gone when the write comes: the file is simply written anew.
      {"file deleted after the question", Command::Save, "m.DTA", "m.DTA", Sabotage::RemoveFile, false,
       {"m.DTA"}},
  };

  Start();
  int row = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString folder = dir.Path(QStringLiteral("case%1").arg(row++));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString old = QString::fromUtf8(c.old);
    QString oldFile;  // the previous file, when there is one to keep
    if (!old.isEmpty()) {
      const QString path = folder + QLatin1Char('/') + old;
      ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
      ASSERT_TRUE(WriteAll(path, oldBytes));
      oldFile = path;
    }
    const QString target = folder + QLatin1Char('/') + QString::fromUtf8(c.chosen);
    const QString written = c.command == Command::Save     ? TFormMain::ForceExtension(target, QStringLiteral(".DTA"))
                            : c.command == Command::Export ? TFormMain::ForceExtension(target, QStringLiteral(".txt"))
                                                           : target;

    // A fresh unsaved measurement for each case.
    FillBand(TFormMainProbe(main).mainData(), 1, [](double f, double& r, double& t) { WooferModel(f, r, t); });
    TFormMainProbe(main).mainData().dateTime = "2026/12/08 10:00:00";
    main->mFinishMeasure();
    ASSERT_EQ(TFormMainProbe(main).mainData().valid, 1);
    main->setWindowTitle(QStringLiteral("KAVO v2.1"));
    TFormMainProbe(main).statusTexts()->ClearPanel(1);
    racing.calls.clear();
    racing.fileAnswers = {target};
    racing.messageAnswers = {MsgResult::Yes};
    racing.hookOnQuestion = QFileInfo::exists(written) && c.command != Command::Quit;

    auto sabotage = [&] {
      switch (c.sabotage) {
        case Sabotage::None: break;
        case Sabotage::FullDisk: fsize = std::make_unique<ScopedFileSizeLimit>(64); break;
        case Sabotage::ReadOnlyFolder:
          QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
          noDac = std::make_unique<ScopedNoDacOverride>();
          EXPECT_FALSE(CanCreateIn(folder)) << "the folder is not read-only for this process";
          break;
        case Sabotage::RemoveFile: QFile::remove(written); break;
        case Sabotage::FileToFolder:
          QFile::remove(written);
          QDir().mkdir(written);
          break;
        case Sabotage::RemoveFolder: QDir(folder).removeRecursively(); break;
      }
    };

    switch (c.command) {
      case Command::Save:
        racing.hook = sabotage;
        main->MenuFile_SaveClick();
        break;
      case Command::Export:
        racing.hook = sabotage;
        main->MenuFile_ExportClick();
        break;
      case Command::Quit:
        qputenv("KAVO_SETTINGS_DIR", folder.toUtf8());
        TFormMainProbe(main).dataSaved() = 1;  // no question before quitting
        main->show();
        sabotage();
        main->close();
        qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
        break;
    }
    noDac.reset();
    fsize.reset();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(racing.hook) << "the sabotage never ran";

    if (c.command == Command::Quit) {
      EXPECT_EQ(racing.MessageTexts(), c.fails ? QStringList{iniError} : QStringList{});
      EXPECT_FALSE(main->isVisible());  // the program ends all the same
    } else {
      EXPECT_EQ(Panel(1), c.fails ? saveError : c.command == Command::Export ? QStringLiteral("データ書き出し完了")
                                                                             : QString());
      const int questions = static_cast<int>(racing.MessageTexts().size());
      EXPECT_EQ(questions, racing.hookOnQuestion ? 1 : 0);
    }
    if (c.command == Command::Save) {
      EXPECT_EQ(TFormMainProbe(main).dataSaved(), c.fails ? 0 : 1);
      EXPECT_EQ(main->windowTitle(), c.fails ? QStringLiteral("KAVO v2.1") : QStringLiteral("KAVO v2.1 / ") + written);
    }
    if (c.fails && !oldFile.isEmpty() && QFileInfo(oldFile).isFile()) {
      EXPECT_EQ(ReadAll(oldFile), oldBytes);
    }
    if (!c.fails) {
      EXPECT_TRUE(ReadAll(written).startsWith("DataFile:KA-V\r\n"));
    }
    EXPECT_EQ(Tree(folder), c.after);
  }
}

TEST_F(FileStressTest, PrintToAPdfOnAFullDiskIsReportedAndKeepsTheOldFile) {
  Start();
  FillBand(TFormMainProbe(main).mainData(), 1, [](double f, double& r, double& t) { WooferModel(f, r, t); });
  main->mFinishMeasure();
  const QString folder = dir.Path(QStringLiteral("out"));
  ASSERT_TRUE(QDir().mkpath(folder));
  const QString target = folder + QStringLiteral("/page.pdf");
  const QByteArray oldBytes = "the previous page\n";
  ASSERT_TRUE(WriteAll(target, oldBytes));
  QPrinter& printer = main->mPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setResolution(72);
  printer.setOutputFileName(target);
  racing.dialogHandler = [](QDialog& dialog) {
    auto& form = dynamic_cast<TFormPrnInfo&>(dialog);
    form.Button1->click();
    return form.result();
  };
  racing.printAnswers = {true};
  {
    const ScopedFileSizeLimit full(4096);
    main->MenuFile_PrintClick();
  }
  EXPECT_EQ(racing.MessageTexts(), QStringList{QStringLiteral("印刷できませんでした。プリンタと出力先を確認して下さい。")});
  EXPECT_EQ(ReadAll(target), oldBytes);
  EXPECT_EQ(Tree(folder), QStringList{QStringLiteral("page.pdf")});
}

}  // namespace
}  // namespace kavo::test
