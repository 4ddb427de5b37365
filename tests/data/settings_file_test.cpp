#include <gtest/gtest.h>

#include <QDir>
#include <functional>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "platform/Paths.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "data_fixture.h"

using namespace kavo;
using namespace kavo::test;

namespace {

const char* const DefaultFile =
    "KAVO_ini\r\n"
    "CommPortNum:1\r\n"
    "PenColor_R:16711680\r\n"
    "PenColor_Theta:255\r\n"
    "PenColor_R_Ref[0]:8421376\r\n"
    "PenColor_Theta_Ref[0]:8388736\r\n"
    "PenColor_R_Ref[1]:8421376\r\n"
    "PenColor_Theta_Ref[1]:8388736\r\n"
    "PenColor_R_Ref[2]:8421376\r\n"
    "PenColor_Theta_Ref[2]:8388736\r\n"
    "PenColor_R_Ref[3]:8421376\r\n"
    "PenColor_Theta_Ref[3]:8388736\r\n"
    "PenColor_R_Ref[4]:8421376\r\n"
    "PenColor_Theta_Ref[4]:8388736\r\n"
    "pstr:\r\n"
    "pstr:\r\n"
    "pstr:\r\n"
    "top:178\r\n"
    "left:255\r\n"
    "width:640\r\n"
    "height:480\r\n"
    "band:1\r\n"
    "fronly:0\r\n"
    "fwide:0\r\n"
    "fave3:1\r\n"
    "fwarning:0\r\n"
    "END:\r\n";

QList<QByteArray> DefaultLines() {
  QList<QByteArray> lines = QByteArray(DefaultFile).split('\n');
  lines.removeLast();
  for (QByteArray& l : lines) l.chop(1);
  return lines;
}

QByteArray Join(const QList<QByteArray>& lines) {
  QByteArray out;
  for (const QByteArray& l : lines) out += l + "\r\n";
  return out;
}

bool SameSettings(const SettingsRecord& a, const SettingsRecord& b) {
  for (int i = 0; i < MaxRefs; ++i)
    if (a.PenColor_R_Ref[i] != b.PenColor_R_Ref[i] || a.PenColor_Theta_Ref[i] != b.PenColor_Theta_Ref[i])
      return false;
  return a.CommPortNum == b.CommPortNum && a.PenColor_R == b.PenColor_R &&
         a.PenColor_Theta == b.PenColor_Theta && a.pstr[0] == b.pstr[0] && a.pstr[1] == b.pstr[1] &&
         a.pstr[2] == b.pstr[2];
}

class SettingsFileTest : public ::testing::Test {
 protected:
  bool Read(const QByteArray& content) {
    EXPECT_TRUE(WriteAll(path_, content));
    return file_.ReadSettings(path_, &settings_, &view_);
  }

  TempDir dir_;
  QString path_ = dir_.Path("KAVO_ini.prf");
  KAVO_File file_;
  SettingsRecord settings_;
  ViewSettings view_;
};

}  // namespace

TEST_F(SettingsFileTest, DefaultsFileContent) {
  SettingsRecord settings;
  settings.CommPortNum = 12;
  settings.PenColor_R_Ref[3] = 1;
  SetDefaults(settings);
  const ViewSettings view;  // the window as designed
  ASSERT_TRUE(file_.WriteSettings(path_, &settings, &view));
  EXPECT_EQ(ReadAll(path_), QByteArray(DefaultFile));
  EXPECT_EQ(CrLfLines(ReadAll(path_)).size(), 27);
}

TEST_F(SettingsFileTest, RoundTripWithTextsAndFlags) {
  SettingsRecord out;
  out.CommPortNum = 256;
  out.PenColor_R = 0;
  out.PenColor_Theta = -1;
  for (int i = 0; i < MaxRefs; ++i) {
    out.PenColor_R_Ref[i] = 100 + i;
    out.PenColor_Theta_Ref[i] = 200 + i;
  }
  out.pstr[0] = Utf8ToCp932("型番: ＳＰ－１０ 表示");
  out.pstr[1] = "a:b:c";
  out.pstr[2] = "";
  ViewSettings view{-20, 0, 800, 600, 4, 1, 1, 0, 1};
  ASSERT_TRUE(file_.WriteSettings(path_, &out, &view));

  ViewSettings back{};
  back.fave3 = 1;
  ASSERT_TRUE(file_.ReadSettings(path_, &settings_, &back));
  EXPECT_TRUE(SameSettings(settings_, out));
  EXPECT_EQ(settings_.pstr[0], out.pstr[0]);
  EXPECT_EQ(back.top, -20);  // positions at or beyond the edge are kept
  EXPECT_EQ(back.left, 0);
  EXPECT_EQ(back.width, 800);
  EXPECT_EQ(back.height, 600);
  EXPECT_EQ(back.band, 4);
  EXPECT_EQ(back.fronly, 1);
  EXPECT_EQ(back.fwide, 1);
  EXPECT_EQ(back.fave3, 0);
  EXPECT_EQ(back.fwarning, 1);
}

TEST_F(SettingsFileTest, AcceptedVariants) {
  QList<QByteArray> lines = DefaultLines();
  lines[22] = "fronly:5";
  lines[24] = "fave3:-3";
  lines[14] = "pstr: lead blank: kept";
  lines[17] = "top:0";
  lines[18] = "left:-1200";
  lines[1] = "CommPortNum: 7";
  lines.insert(26, ";before end");
  lines.insert(14, ";");
  lines.insert(0, "; first");
  ASSERT_TRUE(Read(Join(lines)));
  EXPECT_EQ(view_.fronly, 1);
  EXPECT_EQ(view_.fave3, 1);
  EXPECT_EQ(settings_.pstr[0], " lead blank: kept");
  EXPECT_EQ(settings_.CommPortNum, 7);
  EXPECT_EQ(view_.top, 0);
  EXPECT_EQ(view_.left, -1200);

  // A set flag is written back as 1.
  ASSERT_TRUE(file_.WriteSettings(path_, &settings_, &view_));
  EXPECT_TRUE(ReadAll(path_).contains("\r\nfronly:1\r\n"));
  EXPECT_TRUE(ReadAll(path_).contains("\r\nfave3:1\r\n"));

  // LF line ends read alike.
  ASSERT_TRUE(WriteAll(path_, QByteArray(DefaultFile).replace("\r\n", "\n")));
  EXPECT_TRUE(file_.ReadSettings(path_, &settings_, &view_));
}

TEST_F(SettingsFileTest, RejectedFilesChangeNothing) {
  struct Case {
    const char* what;
    std::function<void(QList<QByteArray>&)> edit;
  };
  const Case cases[] = {
      {"first line", [](auto& l) { l[0] = "KAVO_ini "; }},
      {"port 0", [](auto& l) { l[1] = "CommPortNum:0"; }},
      {"port 257", [](auto& l) { l[1] = "CommPortNum:257"; }},
      {"colour not a number", [](auto& l) { l[2] = "PenColor_R:blue"; }},
      {"colour trailing blank", [](auto& l) { l[3] = "PenColor_Theta:255 "; }},
      {"ref keys swapped", [](auto& l) { l.swapItemsAt(4, 5); }},
      {"ref index wrong", [](auto& l) { l[6] = "PenColor_R_Ref[9]:8421376"; }},
      {"pstr missing", [](auto& l) { l.removeAt(16); }},
      {"top not a number", [](auto& l) { l[17] = "top:"; }},
      {"width 0", [](auto& l) { l[19] = "width:0"; }},
      {"height negative", [](auto& l) { l[20] = "height:-5"; }},
      {"band 0", [](auto& l) { l[21] = "band:0"; }},
      {"band 5", [](auto& l) { l[21] = "band:5"; }},
      {"flag not a number", [](auto& l) { l[23] = "fwide:yes"; }},
      {"flag empty", [](auto& l) { l[25] = "fwarning:"; }},
      {"empty line", [](auto& l) { l.insert(10, ""); }},
      {"end missing", [](auto& l) { l.removeLast(); }},
      {"end misspelled", [](auto& l) { l.last() = "end:"; }},
      {"key case", [](auto& l) { l[18] = "Left:255"; }},
      {"nul in value", [](auto& l) { l[15] = QByteArray("pstr:a\0b", 8); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QList<QByteArray> lines = DefaultLines();
    lines[1] = "CommPortNum:9";  // would change the record if taken
    c.edit(lines);
    SettingsRecord before;
    before.CommPortNum = 3;
    before.pstr[1] = "keep";
    settings_ = before;
    view_ = ViewSettings{1, 2, 3, 4, 2, 1, 1, 1, 1};
    EXPECT_FALSE(Read(Join(lines)));
    EXPECT_TRUE(SameSettings(settings_, before));
    EXPECT_EQ(view_.width, 3);
    EXPECT_EQ(view_.band, 2);
  }
}

TEST_F(SettingsFileTest, BadNamesArgumentsAndHostileContent) {
  EXPECT_FALSE(file_.ReadSettings("", &settings_, &view_));
  EXPECT_FALSE(file_.ReadSettings(dir_.Path("absent.prf"), &settings_, &view_));
  ASSERT_TRUE(WriteAll(path_, DefaultFile));
  EXPECT_FALSE(file_.ReadSettings(path_, nullptr, &view_));
  EXPECT_FALSE(file_.ReadSettings(path_, &settings_, nullptr));
  EXPECT_FALSE(file_.WriteSettings("", &settings_, &view_));
  EXPECT_FALSE(file_.WriteSettings(path_, nullptr, &view_));
  EXPECT_FALSE(file_.WriteSettings(path_, &settings_, nullptr));

  EXPECT_FALSE(Read(QByteArray()));
  EXPECT_FALSE(Read(QByteArray(4096, '\0')));
  QList<QByteArray> lines = DefaultLines();
  lines[14] += QByteArray(10 * 1024 * 1024, 'x');  // a 10 MB print text
  EXPECT_FALSE(Read(Join(lines)));
}

TEST_F(SettingsFileTest, PrintTextsThatCannotReadBackAreRefused) {
  SettingsRecord settings;
  const ViewSettings view;
  settings.pstr[1] = std::string(243, 'p');  // the longest one-line text
  ASSERT_TRUE(file_.WriteSettings(path_, &settings, &view));
  const QByteArray before = ReadAll(path_);
  ASSERT_TRUE(file_.ReadSettings(path_, &settings_, &view_));
  EXPECT_EQ(settings_.pstr[1], settings.pstr[1]);

  settings.pstr[1] += "p";
  EXPECT_FALSE(file_.WriteSettings(path_, &settings, &view));
  settings.pstr[1] = "two\nlines";
  EXPECT_FALSE(file_.WriteSettings(path_, &settings, &view));
  EXPECT_EQ(ReadAll(path_), before);
}

TEST_F(SettingsFileTest, FailedWriteLeavesOldFile) {
  const ViewSettings view;
  ASSERT_TRUE(file_.WriteSettings(path_, &settings_, &view));
  ASSERT_TRUE(QDir(dir_.Root()).mkdir("dir.prf"));
  EXPECT_FALSE(file_.WriteSettings(dir_.Path("dir.prf"), &settings_, &view));
  EXPECT_TRUE(QFileInfo(dir_.Path("dir.prf")).isDir());
  EXPECT_FALSE(file_.WriteSettings(dir_.Path("none/KAVO_ini.prf"), &settings_, &view));
  EXPECT_EQ(ReadAll(path_), QByteArray(DefaultFile));
  EXPECT_EQ(QDir(dir_.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name),
            QStringList({"KAVO_ini.prf", "dir.prf"}));
}

namespace {

// Where the settings file goes: beside a program in a writable folder of its
// own, in ~/.config/kavo/ for a system install (even for root, who could
// write to /usr/bin) and for a folder the user cannot write to.
TEST(SettingsLocation, ProgramFolderOnlyWhenWritableAndNotASystemInstall) {
  TempDir home;
  ScopedEnv config("XDG_CONFIG_HOME", home.Root().toLocal8Bit());
  const QString own = home.Path(QStringLiteral("portable"));
  ASSERT_TRUE(QDir().mkpath(own));
  const QString fallback = home.Root() + QStringLiteral("/kavo/");
  struct Case { QString exeDir; QString expected; };
  const Case cases[] = {
      {own, own + '/'},
      {own + '/', own + '/'},
      {QStringLiteral("/usr/bin"), fallback},
      {QStringLiteral("/usr/local/bin/"), fallback},
      {QStringLiteral("/bin"), fallback},
      {home.Path(QStringLiteral("missing/bin")), fallback},
  };
  for (const Case& c : cases) EXPECT_EQ(SettingsDirFor(c.exeDir), c.expected) << c.exeDir.toStdString();
  EXPECT_TRUE(QFileInfo(fallback).isDir());
  // A relative XDG_CONFIG_HOME is ignored (XDG rules); a look-up to read creates nothing.
  const ScopedEnv homeVar("HOME", home.Root().toLocal8Bit()), relative("XDG_CONFIG_HOME", "relative");
  EXPECT_EQ(SettingsDirFor(QStringLiteral("/usr/bin"), false), home.Root() + QStringLiteral("/.config/kavo/"));
  EXPECT_FALSE(QFileInfo::exists(home.Root() + QStringLiteral("/.config")) || QFileInfo::exists("relative"));
}

}  // namespace
