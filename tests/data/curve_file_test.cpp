// The one reader from a file to a data set: each reason a file is refused,
// and what a file that loads brings with it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "TempDir.h"
#include "data/CurveFile.h"
#include "data/Kavo_file.h"
#include "data_fixture.h"

using namespace kavo;
using namespace kavo::test;

namespace {

TEST(CurveFile, EveryReasonAFileIsRefused) {
  TempDir dir;
  SettingsRecord settings;
  const auto set = std::make_unique<MeasureData>();
  FillBand(*set, 3);
  ASSERT_TRUE(KAVO_File().WriteDataFile(dir.Path("m.DTA"), "SN0042", &settings, set.get()));
  SetSlot(*set, BandFirstSlot(3) + 5, Record(500, 0, 1311, 0));  // a divisor of 0
  ASSERT_TRUE(KAVO_File().WriteDataFile(dir.Path("zero.DTA"), "SN0042", &settings, set.get()));
  ASSERT_TRUE(WriteAll(dir.Path("bad.DTA"), "not a measurement\r\n"));
  ASSERT_TRUE(WriteAll(dir.Path("line3.zma"), "20 5 0\n30 5 0\n40 abc 0\n"));
  ASSERT_TRUE(WriteAll(dir.Path("wide.zma"), "1 8 0\n100000 8 0\n"));
  ASSERT_TRUE(QDir().mkdir(dir.Path("folder.DTA")));
  QFile big(dir.Path("big.DTA"));
  ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(MaxCurveFileBytes + 1));
  big.close();

  const struct {
    const char* name;  // in the scratch folder; "" for no name at all
    bool tables;
    LoadFailure failure;
    int32_t band;  // of the set read
  } cases[] = {
      {"", true, LoadFailure::EmptyName, 0},        {"none.DTA", true, LoadFailure::NoSuchFile, 0},
      {"folder.DTA", true, LoadFailure::Folder, 0}, {"big.DTA", true, LoadFailure::TooLarge, 0},
      {"bad.DTA", true, LoadFailure::NotData, 0},   {"zero.DTA", true, LoadFailure::Unconvertible, 0},
      {"line3.zma", true, LoadFailure::Table, 0},   {"wide.zma", false, LoadFailure::NotData, 0},
      {"wide.zma", true, LoadFailure::None, 1},     {"m.DTA", true, LoadFailure::None, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString file = *c.name ? dir.Path(QString::fromUtf8(c.name)) : QString();
    const auto read = std::make_unique<CurveSet>();
    read->data.valid = 1;
    CurveRead how;
    how.tables = c.tables;
    QString why;
    EXPECT_EQ(ReadCurveSet(file, how, *read, why), c.failure);
    EXPECT_EQ(read->data.valid, c.failure == LoadFailure::None ? 1 : 0);
    if (c.failure == LoadFailure::Table) EXPECT_TRUE(why.startsWith(QStringLiteral("3"))) << why.toStdString();
    if (c.band == 0) continue;
    EXPECT_EQ(read->data.band, c.band);
    EXPECT_EQ(read->raw.valid, 1);
    EXPECT_EQ(read->serial, c.band == 3 ? "SN0042" : "");
  }
}

}  // namespace
