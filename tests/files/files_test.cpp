// The file and reference commands of the main window, driven through the
// scripted modal seam: open, save, close, export, references, quitting.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <map>

#include "MainProbe.h"
#include "MainWindowFixture.h"
#include "MainProbe.h"
#include "Records.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "messages/StatusPanels.h"

// Readable failures: QStrings print as their text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace kavo::test {
namespace {

const QString Title = QStringLiteral("KAVO v2.1");
const QString DataFilter = QStringLiteral("データファイル (*.DTA)|*.DTA");
const QString NoData = QStringLiteral("データがありません");
const QString AskOpen = QStringLiteral("測定データを保存していません。破棄しますか？");
const QString AskClose = QStringLiteral("測定データを保存していません。データを破棄しますか？");
const QString AskQuit = QStringLiteral("測定データを保存していません。終了しますか？");
const QString BadFile = QStringLiteral("データファイルの内容が正しくありませんでした");
const QString CalcError = QStringLiteral("データエラーで計算できませんでした");
const QString TooMany = QStringLiteral("参照データは５個までにしてください");
const QString OverRange = QStringLiteral("抵抗値の最大値が150Ωを越えています");

QString Overwrite(const QString& path) {
  return QStringLiteral("ファイル：") + path + QStringLiteral("があります。\n上書きしますか");
}

class FilesTest : public MainWindowTest {
 protected:
  // A data file of `band` with a woofer curve peaking at `peak` ohm.
  QString WriteData(const char* name, int32_t band = 1, double peak = 30.0, const std::string& serial = "4711",
                    int32_t port = 3) {
    MeasureData data;
    data.dateTime = "2026/12/08 9:15:00";
    FillBand(data, band, [peak](double f, double& r, double& t) { WooferModel(f, r, t, 50.0, peak); });
    SettingsRecord settings;
    settings.CommPortNum = port;
    const QString path = dir.Path(QString::fromUtf8(name));
    EXPECT_TRUE(KAVO_File().WriteDataFile(path, serial, &settings, &data));
    return path;
  }
  // A file that reads but cannot be converted: a divisor of 0 in its band.
  QString WriteZeroDivisor(const char* name) {
    const QString path = WriteData(name);
    QByteArray bytes = ReadAll(path);
    const int at = bytes.indexOf("DNum:400\r\n") + 10;
    bytes.replace(at + 14, 4, "0000");
    EXPECT_TRUE(WriteAll(path, bytes));
    return path;
  }
  QString WriteBroken(const char* name) {
    const QString path = dir.Path(QString::fromUtf8(name));
    EXPECT_TRUE(WriteAll(path, "DataFile:KA-V\r\nSN:9\r\nDateTime:x\r\nCommPortNum:9\r\nBand:1\r\nDNum:400\r\n"));
    return path;
  }
  // A completed sweep of `band`, not yet saved, as the measurement leaves it.
  void Measured(int32_t band = 1, double peak = 30.0) {
    FillBand(TFormMainProbe(main).mainData(), band, [peak](double f, double& r, double& t) { WooferModel(f, r, t, 70.0, peak); });
    TFormMainProbe(main).mainData().dateTime = "2026/12/08 10:00:00";
    main->mFinishMeasure();
    ASSERT_EQ(TFormMainProbe(main).mainData().valid, 1);
    ASSERT_EQ(TFormMainProbe(main).dataSaved(), 0);
  }
  bool Open(const QString& path) {
    modal->fileAnswers = {path};
    main->MenuFile_OpenClick();
    return TFormMainProbe(main).mainData().valid == 1;
  }
  QString Panel(int i) const { return TFormMainProbe(main).StatusBar1()->PanelText(i); }
  int FileDialogs() {
    int n = 0;
    for (const ModalCall& c : modal->calls) n += c.kind != ModalKind::Message;
    return n;
  }
};

// ---- open, save, close in each state of the main data ----

enum class State { NoData, Saved, Unsaved };
enum class Command { Open, Save, Close };

struct Cell {
  State state;
  Command command;
  MsgResult answer;    // to the question, when one is asked
  QString question;    // empty: none is asked
  QString error;       // message instead of a dialog
  bool dialog;         // a file dialog is shown
  uint8_t validAfter;
  uint8_t savedAfter;
  bool fileInTitle;
};

TEST_F(FilesTest, StateTableOfOpenSaveAndClose) {
  const Cell cells[] = {
      {State::NoData, Command::Open, MsgResult::No, {}, {}, true, 1, 1, true},
      {State::NoData, Command::Save, MsgResult::No, {}, NoData, false, 0, 0, false},
      {State::NoData, Command::Close, MsgResult::No, {}, {}, false, 0, 0, false},
      {State::Saved, Command::Open, MsgResult::No, {}, {}, true, 1, 1, true},
      {State::Saved, Command::Save, MsgResult::No, {}, {}, true, 1, 1, true},
      {State::Saved, Command::Close, MsgResult::No, {}, {}, false, 0, 1, false},
      {State::Unsaved, Command::Open, MsgResult::Yes, AskOpen, {}, true, 1, 1, true},
      {State::Unsaved, Command::Open, MsgResult::No, AskOpen, {}, false, 1, 0, false},
      {State::Unsaved, Command::Save, MsgResult::No, {}, {}, true, 1, 1, true},
      {State::Unsaved, Command::Close, MsgResult::Yes, AskClose, {}, false, 0, 0, false},
      {State::Unsaved, Command::Close, MsgResult::No, AskClose, {}, false, 1, 0, false},
  };
  const QString other = WriteData("other.DTA", 2);
  Start();
  for (const Cell& cell : cells) {
    const auto at = QStringLiteral("state %1 command %2 answer %3")
                        .arg(int(cell.state)).arg(int(cell.command)).arg(int(cell.answer));
    SCOPED_TRACE(at.toStdString());
    const QString target = dir.Path(QStringLiteral("cell%1.DTA").arg(int(cell.state) * 10 + int(cell.command)));
    QFile::remove(target);
    switch (cell.state) {
      case State::NoData:
        main->MenuFile_CloseClick();
        TFormMainProbe(main).mainData().valid = 0;
        TFormMainProbe(main).dataSaved() = 0;
        break;
      case State::Saved:
        ASSERT_TRUE(Open(WriteData("saved.DTA")));
        break;
      case State::Unsaved:
        TFormMainProbe(main).dataSaved() = 1;
        main->MenuFile_CloseClick();
        Measured();
        main->setWindowTitle(Title);
        break;
    }
    const QString titleBefore = main->windowTitle();
    modal->calls.clear();
    modal->messageAnswers = {cell.answer};
    modal->fileAnswers = {cell.command == Command::Open ? other : target};
    switch (cell.command) {
      case Command::Open: main->MenuFile_OpenClick(); break;
      case Command::Save: main->MenuFile_SaveClick(); break;
      case Command::Close: main->MenuFile_CloseClick(); break;
    }
    QStringList expected;
    if (!cell.question.isEmpty()) expected << cell.question;
    if (!cell.error.isEmpty()) expected << cell.error;
    EXPECT_EQ(modal->MessageTexts(), expected);
    EXPECT_EQ(FileDialogs(), cell.dialog ? 1 : 0);
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, cell.validAfter);
    EXPECT_EQ(TFormMainProbe(main).dataSaved(), cell.savedAfter);
    const bool changed = cell.dialog || cell.command == Command::Close;
    const QString title = cell.fileInTitle ? Title + QStringLiteral(" / ") + TFormMainProbe(main).fileName()
                          : changed && cell.validAfter == 0 ? Title
                                                            : titleBefore;
    EXPECT_EQ(main->windowTitle(), title);
    EXPECT_EQ(QFile::exists(target), cell.command == Command::Save && cell.dialog);
    if (cell.command == Command::Open && cell.dialog) {
      EXPECT_EQ(TFormMainProbe(main).fileName(), other);
      EXPECT_EQ(TFormMainProbe(main).mainData().band, 2);
      EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 1);
      EXPECT_EQ(TFormMainProbe(main).graphScale().band, 2);
    }
  }
}

TEST_F(FilesTest, DialogsCarryTheirTitlesFiltersAndNames) {
  Start();
  Measured();
  main->MenuFile_SaveClick();
  TFormMainProbe(main).dataSaved() = 1;
  main->MenuFile_OpenClick();
  main->MenuRef_OpenClick();
  main->MenuFile_ExportClick();
  ASSERT_EQ(modal->calls.size(), 4u);
  const struct {
    ModalKind kind;
    QString title, filter, name;
    bool multiple;
  } expected[] = {
      {ModalKind::SaveFile, {}, DataFilter, QStringLiteral("*.DTA"), false},
      {ModalKind::OpenFile, QStringLiteral("データファイルを選んでください"), DataFilter, QStringLiteral("*.DTA"), false},
      {ModalKind::OpenFile, QStringLiteral("参照ファイルを選んでください(５個まで)"),
       QStringLiteral("参照ファイル (*.DTA *.zma *.txt)|*.DTA;*.zma;*.txt|データファイル (*.DTA)|*.DTA|"
                      "インピーダンス表 (*.zma *.txt)|*.zma;*.txt"),
       QStringLiteral("*.DTA"), true},
      {ModalKind::SaveFile, {}, QStringLiteral("データファイル (*.txt)|*.txt"), QStringLiteral("*.txt"), false},
  };
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(modal->calls[i].kind, expected[i].kind) << i;
    EXPECT_EQ(modal->calls[i].caption, expected[i].title) << i;
    EXPECT_EQ(modal->calls[i].filter, expected[i].filter) << i;
    EXPECT_EQ(modal->calls[i].text, expected[i].name) << i;
    EXPECT_EQ(modal->calls[i].multiple, expected[i].multiple) << i;
  }
  // Cancelled, every one of them changed nothing.
  EXPECT_EQ(TFormMainProbe(main).mainData().valid, 1);
  EXPECT_EQ(main->windowTitle(), Title);
  EXPECT_EQ(TFormMainProbe(main).refCount(), 0);
  EXPECT_TRUE(QDir(dir.Root()).entryList({QStringLiteral("*.DTA"), QStringLiteral("*.txt")}).isEmpty());
}

TEST_F(FilesTest, FailedOpenLeavesNoDataAndAsksNothingLater) {
  enum class Make { Broken, ZeroDivisor, Nothing, Folder };
  const struct {
    const char* name;
    Make make;
    QString message;  // after the file's name and a line break when not the catalogue's
    MsgIcon icon;
  } cases[] = {{"broken.DTA", Make::Broken, BadFile, MsgIcon::Stop},
               {"zero.DTA", Make::ZeroDivisor, CalcError, MsgIcon::Stop},
               {"missing.DTA", Make::Nothing, QStringLiteral("ファイルがありません"), MsgIcon::Exclamation},
               {"folder.DTA", Make::Folder, QStringLiteral("フォルダです"), MsgIcon::Exclamation}};
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const bool convertible = c.make == Make::ZeroDivisor;  // the file reads, only its numbers fail
    const QString path = convertible             ? WriteZeroDivisor(c.name)
                         : c.make == Make::Broken ? WriteBroken(c.name)
                                                  : dir.Path(QString::fromUtf8(c.name));
    if (c.make == Make::Folder) ASSERT_TRUE(QDir().mkdir(path));
    const QString message = c.icon == MsgIcon::Stop ? c.message : path + QLatin1Char('\n') + c.message;
    TFormMainProbe(main).dataSaved() = 1;
    main->MenuFile_CloseClick();
    Measured();
    TFormMainProbe(main).UnitSerial() = "0815";
    TFormMainProbe(main).settings().CommPortNum = 7;
    main->setWindowTitle(Title + QStringLiteral(" / earlier.DTA"));
    modal->calls.clear();
    modal->messageAnswers = {MsgResult::Yes};
    EXPECT_FALSE(Open(path));
    EXPECT_EQ(modal->MessageTexts(), (QStringList{AskOpen, message}));
    EXPECT_EQ(modal->calls.back().icon, c.icon);
    EXPECT_EQ(TFormMainProbe(main).dataSaved(), 0);
    EXPECT_EQ(TFormMainProbe(main).fileName(), path);
    EXPECT_EQ(main->windowTitle(), Title + QStringLiteral(" / earlier.DTA"));
    // A file that does not read whole changes neither the serial nor the port.
    EXPECT_EQ(TFormMainProbe(main).UnitSerial(), convertible ? "4711" : "0815");
    EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, convertible ? 3 : 7);
    // Nothing valid is left, so nothing asks again.
    modal->calls.clear();
    main->MenuFile_SaveClick();
    main->MenuFile_CloseClick();
    EXPECT_EQ(modal->MessageTexts(), QStringList{NoData});
    EXPECT_TRUE(main->mConfirmQuit());
  }
}

TEST_F(FilesTest, SaveAndExportWriteTheFixedNameAndAskBeforeOverwriting) {
  const struct {
    bool exportText;
    const char* chosen;
    const char* written;
    bool exists;
    MsgResult answer;
  } cases[] = {
      {false, "meas", "meas.DTA", false, MsgResult::No},
      // The name's own extension in another case stays as typed: saving over
      // "lower.dta" replaces it instead of writing "lower.DTA" beside it.
      {false, "meas.dta", "meas.dta", false, MsgResult::No},
      {false, "lower.dta", "lower.dta", true, MsgResult::Yes},
      // A dot followed by a space or by more than four characters is part
      // of the name; only a real final extension is replaced.
      {false, "16.5cm ウーファー 箱入り", "16.5cm ウーファー 箱入り.DTA", false, MsgResult::No},
      {false, "box.tuned", "box.tuned.DTA", false, MsgResult::No},
      {false, "a.b.txt", "a.b.DTA", false, MsgResult::No},
      {false, ".hidden", ".hidden.DTA", false, MsgResult::No},
      {true, "driver v1.2 final", "driver v1.2 final.txt", false, MsgResult::No},
      {false, "meas.DTA", "meas.DTA", true, MsgResult::Yes},
      {false, "meas.DTA", "meas.DTA", true, MsgResult::No},
      {false, "v1.2/meas", "v1.2/meas.DTA", false, MsgResult::No},
      {false, ".local/meas.x", ".local/meas.DTA", false, MsgResult::No},
      {true, "result.csv", "result.txt", false, MsgResult::No},
      {true, "result.TXT", "result.TXT", false, MsgResult::No},
      {true, "result.txt", "result.txt", true, MsgResult::Yes},
      {true, "result.txt", "result.txt", true, MsgResult::No},
      {true, "v1.2/result", "v1.2/result.txt", false, MsgResult::No},
  };
  // Only the file's own name counts: folders with a "." stay as they are.
  QDir(dir.Root()).mkdir(QStringLiteral("v1.2"));
  QDir(dir.Root()).mkdir(QStringLiteral(".local"));
  Start();
  Measured();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    const QString written = dir.Path(QString::fromUtf8(c.written));
    QFile::remove(written);
    if (c.exists) {
      ASSERT_TRUE(WriteAll(written, "older"));
    }
    modal->calls.clear();
    modal->fileAnswers = {dir.Path(QString::fromUtf8(c.chosen))};
    modal->messageAnswers = {c.answer};
    TFormMainProbe(main).dataSaved() = 0;
    main->setWindowTitle(Title);
    if (c.exportText) main->MenuFile_ExportClick();
    else main->MenuFile_SaveClick();

    const bool goesOn = !c.exists || c.answer == MsgResult::Yes;
    EXPECT_EQ(modal->MessageTexts(), c.exists ? QStringList{Overwrite(written)} : QStringList{});
    if (c.exists) {
      EXPECT_EQ(modal->calls.back().buttons, MsgButtons::YesNo);
      EXPECT_EQ(modal->calls.back().caption, Title);
      // A stray Return keeps the file, as in the discard questions.
      EXPECT_EQ(modal->calls.back().defaultButton, MsgResult::No);
      EXPECT_EQ(modal->calls.back().icon, MsgIcon::Exclamation);
    }
    const QByteArray bytes = ReadAll(written);
    EXPECT_EQ(bytes == "older", !goesOn);
    if (goesOn) {
      EXPECT_TRUE(bytes.startsWith(c.exportText ? Utf8ToCp932("KA-V 測定データ").c_str() : "DataFile:KA-V\r\n"));
    }
    // Only a saved .DTA makes the file current; the export never does.
    const bool saved = !c.exportText && goesOn;
    EXPECT_EQ(TFormMainProbe(main).dataSaved(), saved ? 1 : 0);
    EXPECT_EQ(main->windowTitle(), saved ? Title + QStringLiteral(" / ") + written : Title);
    if (c.exportText && goesOn) {
      EXPECT_EQ(Panel(1), QStringLiteral("データ書き出し完了"));
    }
  }
  // No file under the name as typed.
  for (const char* typed : {"meas", "lower.DTA", "result", "result.csv", "v1.2/meas", ".DTA", ".txt", "16.DTA",
                            "driver v1.txt", "a.DTA"})
    EXPECT_FALSE(QFile::exists(dir.Path(QString::fromUtf8(typed)))) << typed;
}

TEST_F(FilesTest, FailedSaveKeepsTheOldFileAndTheSavedState) {
  Start();
  ASSERT_TRUE(Open(WriteData("first.DTA")));
  const QString kept = WriteData("kept.DTA", 3);
  const QByteArray before = ReadAll(kept);
  QDir(dir.Root()).mkdir(QStringLiteral("folder.DTA"));
  // A folder in the way, and a serial the writer refuses over an existing file.
  const struct {
    QString chosen;
    std::string serial;
    MsgResult answer;
  } cases[] = {{dir.Path(QStringLiteral("folder.DTA")), "4711", MsgResult::Yes}, {kept, "47\n11", MsgResult::Yes}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen.toStdString());
    TFormMainProbe(main).UnitSerial() = c.serial;
    modal->fileAnswers = {c.chosen};
    modal->messageAnswers = {c.answer};
    const QString title = main->windowTitle();
    main->MenuFile_SaveClick();
    EXPECT_EQ(Panel(1), QStringLiteral("データ保存できませんでした"));
    EXPECT_EQ(TFormMainProbe(main).dataSaved(), 1);
    EXPECT_EQ(main->windowTitle(), title);
    EXPECT_EQ(TFormMainProbe(main).fileName(), c.chosen);
  }
  EXPECT_EQ(ReadAll(kept), before);
  EXPECT_TRUE(QFileInfo(dir.Path(QStringLiteral("folder.DTA"))).isDir());
  // No temporary file left behind.
  EXPECT_EQ(QDir(dir.Root()).entryList({QStringLiteral("*.DTA*")}, QDir::Files | QDir::Hidden),
            (QStringList{QStringLiteral("first.DTA"), QStringLiteral("kept.DTA")}));
}

// ---- references ----

TEST_F(FilesTest, ReferencesFillPositionsInOrderUpToFive) {
  QStringList files;
  for (int i = 0; i < 6; ++i) files << WriteData(QStringLiteral("r%1.DTA").arg(i).toUtf8().constData(), 1, 20.0 + i);
  Start();
  TFormMainProbe(main).UnitSerial() = "0815";
  TFormMainProbe(main).settings().CommPortNum = 7;
  const struct {
    QStringList chosen;
    bool refused;
    int32_t countAfter;
  } steps[] = {
      {files.mid(0, 3), false, 3},
      {files.mid(3, 3), true, 3},  // 3 + 3: nothing loads
      {files.mid(3, 2), false, 5},  // 3 + 2 fills positions 3 and 4
      {{}, true, 5},               // full: refused before any dialog
  };
  for (const auto& step : steps) {
    modal->calls.clear();
    if (step.countAfter < 5 || !step.chosen.isEmpty()) modal->fileListAnswers = {step.chosen};
    main->MenuRef_OpenClick();
    EXPECT_EQ(modal->MessageTexts(), step.refused ? QStringList{TooMany} : QStringList{});
    EXPECT_EQ(FileDialogs(), step.chosen.isEmpty() ? 0 : 1);
    EXPECT_EQ(TFormMainProbe(main).refCount(), step.countAfter);
  }
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(TFormMainProbe(main).refData()[k].valid, 1) << k;
    EXPECT_EQ(TFormMainProbe(main).refFileName()[k], files[k]) << k;
    // Positions keep the file order: each peak is 1 ohm higher.
    EXPECT_NEAR(*std::max_element(TFormMainProbe(main).refRawValues()[k].R, TFormMainProbe(main).refRawValues()[k].R + 400), 20.0f + k, 0.2f) << k;
  }
  // A reference's own serial and port never reach the unit or the settings.
  EXPECT_EQ(TFormMainProbe(main).UnitSerial(), "0815");
  EXPECT_EQ(TFormMainProbe(main).settings().CommPortNum, 7);
  main->MenuRef_CloseClick();
  EXPECT_EQ(TFormMainProbe(main).refCount(), 0);
  EXPECT_FALSE(main->AnyRefLoaded());
  for (int k = 0; k < 5; ++k) EXPECT_EQ(TFormMainProbe(main).refRawValues()[k].R[0], -1.0f);
}

TEST_F(FilesTest, FailedReferencesHoldTheirPositionsUntilCleared) {
  const QString good = WriteData("good.DTA", 3);
  const QString broken = WriteBroken("broken.DTA");
  const QString zero = WriteZeroDivisor("zero.DTA");
  Start();
  modal->fileListAnswers = {{broken, good, zero}};
  main->MenuRef_OpenClick();
  // One message per failing file, in the order of the list.
  EXPECT_EQ(modal->MessageTexts(), (QStringList{BadFile, CalcError}));
  EXPECT_EQ(TFormMainProbe(main).refCount(), 3);
  const uint8_t valid[] = {0, 1, 0, 0, 0};
  for (int k = 0; k < 5; ++k) EXPECT_EQ(TFormMainProbe(main).refData()[k].valid, valid[k]) << k;
  for (int k : {0, 2}) EXPECT_EQ(std::string(TFormMainProbe(main).refData()[k].points[150].c, 19), std::string(19, '0')) << k;
  EXPECT_TRUE(main->AnyRefLoaded());

  modal->calls.clear();
  modal->fileListAnswers = {{good, broken}};
  main->MenuRef_OpenClick();
  EXPECT_EQ(TFormMainProbe(main).refCount(), 5);
  modal->calls.clear();
  main->MenuRef_OpenClick();  // only two of five draw, yet the positions are full
  EXPECT_EQ(modal->MessageTexts(), QStringList{TooMany});
  EXPECT_EQ(FileDialogs(), 0);
  main->MenuRef_CloseClick();
  modal->calls.clear();
  modal->fileListAnswers = {{good}};
  main->MenuRef_OpenClick();
  EXPECT_EQ(TFormMainProbe(main).refCount(), 1);
  EXPECT_TRUE(modal->MessageTexts().isEmpty());
}

TEST_F(FilesTest, TakenPositionsFollowEveryOrderOfGoodAndFailedFiles) {
  // One letter per file: g good, b unreadable, z unconvertible, t a good
  // table, x a table that cannot be read. Batches are one "読込み" each, "C"
  // is "クリア"; the answers: + loaded, - refused with the five-limit message.
  const QString table = dir.Path(QStringLiteral("flat.zma"));
  const QString junk = dir.Path(QStringLiteral("junk.txt"));
  ASSERT_TRUE(WriteAll(table, "10 6.0 0\n30000 6.0 0\n"));
  ASSERT_TRUE(WriteAll(junk, "these are\nno numbers\nat all\nnor here\n"));
  const std::map<char, QString> file = {
      {'g', WriteData("good.DTA")}, {'b', WriteBroken("broken.DTA")}, {'z', WriteZeroDivisor("zero.DTA")},
      {'t', table}, {'x', junk}};
  const struct {
    const char* batches;
    const char* answers;
    int32_t count;
    const char* valid;
  } cases[] = {
      {"b g g g g g", "+++++-", 5, "01111"},
      {"ggggg", "+", 5, "11111"},
      {"gggggg", "-", 0, "00000"},
      {"bbbbbb", "-", 0, "00000"},
      {"gg bzx g", "++-", 5, "11000"},
      {"ggg ggg gg", "+-+", 5, "11111"},
      {"xt gzg g", "++-", 5, "01101"},
      {"bbbbb C ggggg", "+.+", 5, "11111"},
      {"gbg gg C t", "++.+", 1, "10000"},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.batches);
    main->MenuRef_CloseClick();
    const QStringList batches = QString::fromLatin1(c.batches).split(QLatin1Char(' '));
    ASSERT_EQ(batches.size(), static_cast<qsizetype>(strlen(c.answers)));
    for (int i = 0; i < batches.size(); ++i) {
      if (batches[i] == QLatin1String("C")) {
        main->MenuRef_CloseClick();
        continue;
      }
      QStringList chosen;
      for (const QChar letter : batches[i]) chosen << file.at(letter.toLatin1());
      modal->calls.clear();
      modal->fileListAnswers = {chosen};
      main->MenuRef_OpenClick();
      modal->fileListAnswers.clear();
      EXPECT_EQ(modal->MessageTexts().contains(TooMany), c.answers[i] == '-') << "batch " << i;
    }
    EXPECT_EQ(TFormMainProbe(main).refCount(), c.count);
    for (int k = 0; k < MaxRefs; ++k) EXPECT_EQ(TFormMainProbe(main).refData()[k].valid, c.valid[k] - '0') << k;
  }
}

TEST_F(FilesTest, TheBandBoxFollowsTheFirstReferenceOnlyWithoutAMeasurement) {
  const QString mid = WriteData("mid.DTA", 3);
  const QString high = WriteData("high.DTA", 4);
  Start();
  modal->fileListAnswers = {{mid, high}};
  main->MenuRef_OpenClick();
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 2);
  EXPECT_EQ(TFormMainProbe(main).graphScale().band, 3);
  EXPECT_EQ(TFormMainProbe(main).graphScale().freqMin, 250);

  main->MenuRef_CloseClick();
  Measured(2);
  TFormMainProbe(main).ComboBox2()->setCurrentIndex(1);
  main->ComboBox2Change();
  modal->fileListAnswers = {{high}};
  main->MenuRef_OpenClick();
  EXPECT_EQ(TFormMainProbe(main).ComboBox2()->currentIndex(), 1);
  EXPECT_EQ(TFormMainProbe(main).graphScale().band, 2);
}

TEST_F(FilesTest, OverRangeWarningAfterOpeningOrLoadingWithAMeasurement) {
  const QString high = WriteData("high.DTA", 1, 180.0);
  const QString low = WriteData("low.DTA", 1, 40.0);
  const struct {
    bool warning;
    bool measured;      // a measurement is shown when the references come
    bool openAsMain;    // the file is opened instead of loaded as reference
    QString file;
    bool warns;
  } cases[] = {
      {true, false, true, high, true},   {false, false, true, high, false}, {true, false, true, low, false},
      {true, true, false, high, true},   {true, false, false, high, false}, {false, true, false, high, false},
  };
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.toStdString() + (c.openAsMain ? " open" : " reference"));
    main->MenuRef_CloseClick();
    TFormMainProbe(main).dataSaved() = 1;
    main->MenuFile_CloseClick();
    if (c.measured) Measured();
    TFormMainProbe(main).MenuSet_Warning()->setChecked(c.warning);
    modal->calls.clear();
    if (c.openAsMain) {
      Open(c.file);
    } else {
      modal->fileListAnswers = {{c.file}};
      main->MenuRef_OpenClick();
    }
    EXPECT_EQ(modal->MessageTexts(), c.warns ? QStringList{OverRange} : QStringList{});
    if (c.warns) {
      EXPECT_EQ(modal->calls.back().icon, MsgIcon::Exclamation);
    }
    EXPECT_EQ(TFormMainProbe(main).graphScale().rMax, c.file == high ? 200.0f : 50.0f);
  }
}

// ---- export ----

QList<QByteArray> Lines(const QByteArray& bytes) {
  QList<QByteArray> lines = bytes.split('\n');
  EXPECT_TRUE(lines.last().isEmpty());  // the last line ends like the others
  lines.removeLast();
  return lines;
}

TEST_F(FilesTest, ExportFollowsTheAveragingSwitchButNeverTheFrequencies) {
  // A zigzag curve, so that averaging changes every inner value.
  MeasureData data;
  data.dateTime = "2026/12/08 9:15:00";
  int n = 0;
  FillBand(data, 3, [&n](double, double& r, double& t) {
    r = 8.0 + (n % 2) * 3.0;
    t = (n % 2) ? 20.0 : -10.0;
    ++n;
  });
  SettingsRecord settings;
  ASSERT_TRUE(KAVO_File().WriteDataFile(dir.Path(QStringLiteral("mid.DTA")), "4711", &settings, &data));
  Start();
  ASSERT_TRUE(Open(dir.Path(QStringLiteral("mid.DTA"))));
  const QString ave = dir.Path(QStringLiteral("ave.txt")), raw = dir.Path(QStringLiteral("raw.txt"));
  modal->fileAnswers = {ave};
  main->MenuFile_ExportClick();
  main->MenuGraph_AveClick();
  ASSERT_FALSE(TFormMainProbe(main).MenuGraph_Ave()->isChecked());
  modal->fileAnswers = {raw};
  main->MenuFile_ExportClick();

  const QList<QByteArray> a = Lines(ReadAll(ave)), r = Lines(ReadAll(raw));
  ASSERT_EQ(a.size(), 3 + 121);
  ASSERT_EQ(r.size(), 3 + 121);
  EXPECT_EQ(a[0], QByteArray::fromStdString(Utf8ToCp932("KA-V 測定データ")) + "\r");
  EXPECT_EQ(a[1], QByteArray::fromStdString(Utf8ToCp932("測定日時:") + "2026/12/08 9:15:00") + "\r");
  EXPECT_EQ(a[2], QByteArray::fromStdString(Utf8ToCp932("周波数[Hz]\t抵抗値[Ω]\t位相角[deg]")) + "\r");
  int differing = 0;
  for (int i = 0; i < 121; ++i) {
    const int slot = 143 + i;
    const QList<QByteArray> fa = a[3 + i].split('\t'), fr = r[3 + i].split('\t');
    ASSERT_EQ(fa.size(), 3);
    ASSERT_EQ(fr.size(), 3);
    EXPECT_EQ(fa[0], fr[0]) << slot;
    EXPECT_EQ(fa[0].toStdString(), FormatNumber(TFormMainProbe(main).rawValues().Freq[slot], "0.00")) << slot;
    EXPECT_EQ(fa[1].toStdString(), FormatNumber(TFormMainProbe(main).aveValues().R[slot], "0.00")) << slot;
    EXPECT_EQ(fr[1].toStdString(), FormatNumber(TFormMainProbe(main).rawValues().R[slot], "0.00")) << slot;
    EXPECT_EQ(fr[2].toStdString(), FormatNumber(TFormMainProbe(main).rawValues().Theta[slot], "0.0") + "\r") << slot;
    differing += fa[1] != fr[1] || fa[2] != fr[2];
  }
  EXPECT_EQ(differing, 119);  // all but the band's two end points
  // The export leaves the current file as it was.
  EXPECT_EQ(TFormMainProbe(main).dataSaved(), 1);
  EXPECT_EQ(TFormMainProbe(main).fileName(), dir.Path(QStringLiteral("mid.DTA")));
}

TEST_F(FilesTest, ExportWithoutDataOrPlaceReportsIt) {
  Start();
  main->MenuFile_ExportClick();
  EXPECT_EQ(modal->MessageTexts(), QStringList{NoData});
  EXPECT_EQ(FileDialogs(), 0);
  Measured();
  QDir(dir.Root()).mkdir(QStringLiteral("taken.txt"));
  modal->fileAnswers = {dir.Path(QStringLiteral("taken"))};
  modal->messageAnswers = {MsgResult::Yes};
  main->MenuFile_ExportClick();
  EXPECT_EQ(Panel(1), QStringLiteral("データ保存できませんでした"));
  EXPECT_TRUE(QFileInfo(dir.Path(QStringLiteral("taken.txt"))).isDir());
}

// ---- quitting ----

enum class Way { Button, Menu, CloseCommand };

TEST_F(FilesTest, QuitAsksOnlyForACompletedUnsavedMeasurement) {
  const struct {
    State state;
    Way way;
    MsgResult answer;
    bool asks;
    bool ends;
  } cases[] = {
      {State::NoData, Way::Button, MsgResult::No, false, true},
      {State::NoData, Way::CloseCommand, MsgResult::No, false, true},
      {State::Saved, Way::Menu, MsgResult::No, false, true},
      {State::Saved, Way::CloseCommand, MsgResult::No, false, true},
      {State::Unsaved, Way::Button, MsgResult::No, true, false},
      {State::Unsaved, Way::Menu, MsgResult::No, true, false},
      {State::Unsaved, Way::CloseCommand, MsgResult::No, true, false},
      {State::Unsaved, Way::Button, MsgResult::Yes, true, true},
      {State::Unsaved, Way::Menu, MsgResult::Yes, true, true},
      {State::Unsaved, Way::CloseCommand, MsgResult::Yes, true, true},
  };
  const QString saved = WriteData("saved.DTA");
  Start();
  for (const auto& c : cases) {
    SCOPED_TRACE(
        QStringLiteral("state %1 way %2 answer %3").arg(int(c.state)).arg(int(c.way)).arg(int(c.answer)).toStdString());
    main->show();
    TFormMainProbe(main).dataSaved() = 1;
    main->MenuFile_CloseClick();
    if (c.state == State::Saved) {
      ASSERT_TRUE(Open(saved));
    }
    if (c.state == State::Unsaved) Measured();
    QFile::remove(SettingsFile());
    modal->calls.clear();
    modal->messageAnswers = {c.answer};
    switch (c.way) {
      case Way::Button: TFormMainProbe(main).QuitBtn()->click(); break;
      case Way::Menu: TFormMainProbe(main).MenuFile_Quit()->trigger(); break;
      case Way::CloseCommand: main->close(); break;
    }
    EXPECT_EQ(modal->MessageTexts(), c.asks ? QStringList{AskQuit} : QStringList{});
    EXPECT_EQ(main->isVisible(), !c.ends);
    EXPECT_EQ(QFile::exists(SettingsFile()), c.ends);
    EXPECT_EQ(TFormMainProbe(main).mainData().valid, c.state == State::NoData ? 0 : 1);
  }
}

}  // namespace
}  // namespace kavo::test
