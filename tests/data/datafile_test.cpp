#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>

#include "TempDir.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "data_fixture.h"

using namespace kavo;
using namespace kavo::test;

namespace {

// The file as the layout defines it, built line by line here.
QByteArray ExpectedFile(const std::string& serial, const std::string& dateTime, int port, int band) {
  QByteArray out;
  auto line = [&](const std::string& text) { out += QByteArray::fromStdString(text) + "\r\n"; };
  line("DataFile:KA-V");
  line("SN:" + serial);
  line("DateTime:" + dateTime);
  line("CommPortNum:" + std::to_string(port));
  line("Band:" + std::to_string(band));
  line("DNum:" + std::to_string(BandPointCount(band)));
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) line(SlotRecord(k));
  line("END:");
  return out;
}

// The band-3 file as LF lines, for the reader cases to edit.
QList<QByteArray> GoodLines() {
  QList<QByteArray> lines = ExpectedFile("SN0042", "2026/03/04 5:06:07", 3, 3).split('\n');
  lines.removeLast();  // after the final line feed
  for (QByteArray& l : lines) l.chop(1);  // the CR
  return lines;
}

QByteArray Join(const QList<QByteArray>& lines, const char* end = "\n") {
  QByteArray out;
  for (const QByteArray& l : lines) out += l + end;
  return out;
}

class DataFileTest : public ::testing::Test {
 protected:
  bool Read(const QByteArray& content) {
    EXPECT_TRUE(WriteAll(path_, content));
    return file_.ReadDataFile(path_, &serial_, &port_, &data_);
  }

  TempDir dir_;
  QString path_ = dir_.Path("m.DTA");
  KAVO_File file_;
  std::string serial_ = "unit";
  int32_t port_ = 9;
  MeasureData data_;
};

}  // namespace

TEST_F(DataFileTest, RoundTripEveryBandByteExact) {
  for (int band = 1; band <= 4; ++band) {
    SCOPED_TRACE(band);
    MeasureData written;
    ClearData(written);
    FillBand(written, band);
    written.dateTime = "2026/12/08 9:15:30";
    SettingsRecord settings;
    settings.CommPortNum = 17;
    ASSERT_TRUE(file_.WriteDataFile(path_, "A1B2", &settings, &written));
    const QByteArray bytes = ReadAll(path_);
    EXPECT_EQ(bytes, ExpectedFile("A1B2", "2026/12/08 9:15:30", 17, band));
    EXPECT_EQ(CrLfLines(bytes).size(), 7 + BandPointCount(band));

    ClearData(data_);
    ASSERT_TRUE(file_.ReadDataFile(path_, &serial_, &port_, &data_));
    EXPECT_EQ(serial_, "A1B2");
    EXPECT_EQ(port_, 17);
    EXPECT_EQ(data_.band, band);
    EXPECT_EQ(data_.dateTime, "2026/12/08 9:15:30");
    for (int k = 0; k < MaxPoints; ++k) {
      const bool inBand = k >= BandFirstSlot(band) && k <= BandLastSlot(band);
      EXPECT_EQ(std::string(data_.points[k].c), inBand ? SlotRecord(k) : std::string(19, '0')) << k;
    }
    PointValues raw, ave;
    EXPECT_TRUE(file_.ConvertData(&data_, &raw, &ave));
  }
  // Saving a smaller band over a larger file replaces it completely.
  EXPECT_EQ(CrLfLines(ReadAll(path_)).size(), 144);
}

TEST_F(DataFileTest, HeaderTextsPassThroughByteForByte) {
  // CP932 with trail bytes 0x5C and 0x7C ("表", "ポ") and colons in the date.
  const std::string serial = Utf8ToCp932("表ポ試作-01");
  const std::string dateTime = Utf8ToCp932("令和8年12月8日 9:15:30");
  ASSERT_EQ(Cp932ToUtf8(serial), "表ポ試作-01");
  MeasureData written;
  FillBand(written, 4);
  written.dateTime = dateTime;
  SettingsRecord settings;
  ASSERT_TRUE(file_.WriteDataFile(path_, serial, &settings, &written));
  ASSERT_TRUE(file_.ReadDataFile(path_, &serial_, &port_, &data_));
  EXPECT_EQ(serial_, serial);
  EXPECT_EQ(data_.dateTime, dateTime);

  // Empty serial and date are allowed.
  written.dateTime.clear();
  ASSERT_TRUE(file_.WriteDataFile(path_, "", &settings, &written));
  ASSERT_TRUE(file_.ReadDataFile(path_, &serial_, &port_, &data_));
  EXPECT_EQ(serial_, "");
  EXPECT_EQ(data_.dateTime, "");
}

TEST_F(DataFileTest, AcceptedVariants) {
  QList<QByteArray> lines = GoodLines();
  EXPECT_TRUE(Read(Join(lines)));  // LF only
  EXPECT_EQ(port_, 3);
  EXPECT_EQ(data_.band, 3);
  EXPECT_EQ(std::string(data_.points[143].c), SlotRecord(143));
  EXPECT_EQ(std::string(data_.points[263].c), SlotRecord(263));

  // Comments before the first line, between header lines and before END:.
  QList<QByteArray> commented = lines;
  commented.insert(commented.size() - 1, ";before end");
  commented.insert(3, ";");
  commented.insert(1, "; between");
  commented.insert(0, ";first");
  EXPECT_TRUE(Read(Join(commented, "\r\n")));

  QList<QByteArray> edited = lines;
  edited[3] = "CommPortNum:  5";  // leading blanks accepted
  edited[5] = "DNum:504";         // accepted and otherwise unused
  QByteArray noFinalLf = Join(edited);
  noFinalLf.chop(1);
  EXPECT_TRUE(Read(noFinalLf));
  EXPECT_EQ(port_, 5);
}

TEST_F(DataFileTest, LongPointLineFillsTwoSlots) {
  QList<QByteArray> lines = GoodLines();
  const std::string a = Record(1, 2, 3, 4), b = Record(5, 6, 7, 8);
  lines[6] = QByteArray::fromStdString(a + "X" + b);  // 37 characters
  lines.removeAt(7);
  ASSERT_TRUE(Read(Join(lines, "\r\n")));
  EXPECT_EQ(std::string(data_.points[143].c), a);
  EXPECT_EQ(std::string(data_.points[144].c), b);
  EXPECT_EQ(std::string(data_.points[145].c), SlotRecord(145));
}

TEST_F(DataFileTest, RejectedFilesKeepSerialAndPort) {
  const QList<QByteArray> good = GoodLines();
  struct Case {
    const char* what;
    std::function<void(QList<QByteArray>&)> edit;
  };
  const Case cases[] = {
      {"blank after model", [](auto& l) { l[0] = "DataFile:KA-V "; }},
      {"model case", [](auto& l) { l[0] = "DataFile:KA-v"; }},
      {"misspelled key", [](auto& l) { l[1] = "Sn:SN0042"; }},
      {"keys out of order", [](auto& l) { l.swapItemsAt(1, 2); }},
      {"missing line", [](auto& l) { l.removeAt(2); }},
      {"port not numeric", [](auto& l) { l[3] = "CommPortNum:COM3"; }},
      {"port blank after digits", [](auto& l) { l[3] = "CommPortNum:3 "; }},
      {"port 0", [](auto& l) { l[3] = "CommPortNum:0"; }},
      {"port 257", [](auto& l) { l[3] = "CommPortNum:257"; }},
      {"port empty", [](auto& l) { l[3] = "CommPortNum:"; }},
      {"band 0", [](auto& l) { l[4] = "Band:0"; }},
      {"band 5", [](auto& l) { l[4] = "Band:5"; }},
      {"dnum 0", [](auto& l) { l[5] = "DNum:0"; }},
      {"dnum 505", [](auto& l) { l[5] = "DNum:505"; }},
      {"dnum negative", [](auto& l) { l[5] = "DNum:-121"; }},
      {"empty header line", [](auto& l) { l.insert(2, ""); }},
      {"short point line", [](auto& l) { l[10].chop(1); }},
      {"point line of 19", [](auto& l) { l[10] += "0"; }},
      {"empty point line", [](auto& l) { l.insert(10, ""); }},
      {"comment among points", [](auto& l) { l.insert(10, ";note"); }},
      {"points missing", [](auto& l) { l.removeAt(10); }},
      {"end missing", [](auto& l) { l.removeLast(); }},
      {"end misspelled", [](auto& l) { l.last() = "END: "; }},
      {"early end", [](auto& l) { l.insert(20, "END:"); }},
      {"truncated", [](auto& l) { l = l.mid(0, 50); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QList<QByteArray> lines = good;
    c.edit(lines);
    serial_ = "unit";
    port_ = 9;
    EXPECT_FALSE(Read(Join(lines, "\r\n")));
    EXPECT_EQ(serial_, "unit");
    EXPECT_EQ(port_, 9);
  }

  // What was read before the failing line stays in the data set.
  QList<QByteArray> lines = good;
  data_.band = 1;
  data_.dateTime = "old";
  lines[5] = "DNum:0";
  EXPECT_FALSE(Read(Join(lines)));
  EXPECT_EQ(data_.dateTime, "2026/03/04 5:06:07");
  EXPECT_EQ(data_.band, 3);
}

TEST_F(DataFileTest, MissingArgumentsAndUnreadablePaths) {
  EXPECT_FALSE(file_.ReadDataFile("", &serial_, &port_, &data_));
  ASSERT_TRUE(WriteAll(path_, Join(GoodLines())));
  EXPECT_FALSE(file_.ReadDataFile(path_, &serial_, &port_, nullptr));
  EXPECT_TRUE(file_.ReadDataFile(path_, nullptr, nullptr, &data_));  // reference load
  EXPECT_FALSE(file_.ReadDataFile(dir_.Path("absent.DTA"), &serial_, &port_, &data_));
  EXPECT_FALSE(file_.ReadDataFile(dir_.Root(), &serial_, &port_, &data_));
  const QString fifo = dir_.Path("fifo.DTA");
  ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_FALSE(file_.ReadDataFile(fifo, &serial_, &port_, &data_));  // returns, never waits
  EXPECT_EQ(serial_, "unit");
  EXPECT_EQ(port_, 9);
}

TEST_F(DataFileTest, HostileContentNeverAccepted) {
  EXPECT_FALSE(Read(QByteArray()));

  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    QByteArray junk(4096 + round * 97, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    EXPECT_FALSE(Read(junk)) << round;
  }

  // NUL bytes: in the first line, in a header value, inside a record.
  QList<QByteArray> lines = GoodLines();
  QList<QByteArray> nul = lines;
  nul[0].append('\0');
  EXPECT_FALSE(Read(Join(nul)));
  nul = lines;
  nul[1] = QByteArray("SN:A\0B", 6);
  EXPECT_FALSE(Read(Join(nul)));
  nul = lines;
  nul[8][4] = '\0';
  EXPECT_FALSE(Read(Join(nul)));

  // A 10 MB line as the first line, as a header value and among the records.
  const QByteArray huge(10 * 1024 * 1024, 'A');
  for (int at : {0, 1, 30}) {
    QList<QByteArray> big = lines;
    big[at] += huge;
    EXPECT_FALSE(Read(Join(big))) << at;
  }
  QList<QByteArray> bigComment = lines;
  bigComment.insert(0, ";" + huge);
  EXPECT_FALSE(Read(Join(bigComment)));  // its rest is not a comment
  EXPECT_EQ(serial_, "unit");
  EXPECT_EQ(port_, 9);
}

TEST_F(DataFileTest, WriterRefusesWhatCannotBeReadBack) {
  MeasureData data;
  ClearData(data);
  FillBand(data, 2);
  SettingsRecord settings;
  ASSERT_TRUE(file_.WriteDataFile(path_, "S", &settings, &data));
  const QByteArray before = ReadAll(path_);

  EXPECT_FALSE(file_.WriteDataFile("", "S", &settings, &data));
  EXPECT_FALSE(file_.WriteDataFile(path_, "S", nullptr, &data));
  EXPECT_FALSE(file_.WriteDataFile(path_, "S", &settings, nullptr));
  EXPECT_FALSE(file_.WriteDataFile(path_, "S\r\nEND:", &settings, &data));
  EXPECT_FALSE(file_.WriteDataFile(path_, std::string(246, 'S'), &settings, &data));
  MeasureData bad = data;
  bad.band = 0;
  EXPECT_FALSE(file_.WriteDataFile(path_, "S", &settings, &bad));
  bad = data;
  bad.points[100].c[17] = '\0';  // a short record
  EXPECT_FALSE(file_.WriteDataFile(path_, "S", &settings, &bad));
  bad = data;
  ClearData(bad);  // nineteen zeros: not a record
  bad.points[143].c[19] = '\0';
  EXPECT_TRUE(file_.WriteDataFile(path_, "S", &settings, &bad));  // 18 of them are written
  EXPECT_TRUE(file_.ReadDataFile(path_, &serial_, &port_, &data_));
  ASSERT_TRUE(file_.WriteDataFile(path_, "S", &settings, &data));
  settings.CommPortNum = 0;
  EXPECT_FALSE(file_.WriteDataFile(path_, "S", &settings, &data));
  EXPECT_EQ(ReadAll(path_), before);

  // The longest serial that still reads back as one line.
  settings.CommPortNum = 1;
  ASSERT_TRUE(file_.WriteDataFile(path_, std::string(245, 'S'), &settings, &data));
  ASSERT_TRUE(file_.ReadDataFile(path_, &serial_, &port_, &data_));
  EXPECT_EQ(serial_, std::string(245, 'S'));
}

TEST_F(DataFileTest, FailedWriteLeavesOldFileAndNoTemporary) {
  MeasureData data;
  FillBand(data, 1);
  SettingsRecord settings;
  ASSERT_TRUE(file_.WriteDataFile(path_, "old", &settings, &data));
  const QByteArray before = ReadAll(path_);

  // A directory in the way, a missing directory.
  ASSERT_TRUE(QDir(dir_.Root()).mkdir("taken.DTA"));
  EXPECT_FALSE(file_.WriteDataFile(dir_.Path("taken.DTA"), "new", &settings, &data));
  EXPECT_TRUE(QFileInfo(dir_.Path("taken.DTA")).isDir());
  EXPECT_FALSE(file_.WriteDataFile(dir_.Path("nowhere/m.DTA"), "new", &settings, &data));
  EXPECT_FALSE(QFileInfo::exists(dir_.Path("nowhere")));

  // The disk fills up while writing: the file size limit makes write() fail.
  struct rlimit old {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 1000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = file_.WriteDataFile(path_, "new", &settings, &data);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(ReadAll(path_), before);

  EXPECT_EQ(QDir(dir_.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList({"m.DTA", "taken.DTA"}));
}
