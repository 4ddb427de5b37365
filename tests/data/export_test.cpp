#include <gtest/gtest.h>

#include <QDir>

#include "TempDir.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "data_fixture.h"

using namespace kavo;
using namespace kavo::test;

namespace {

class ExportTest : public ::testing::Test {
 protected:
  QList<QByteArray> Export(const PointValues& values, char separator = '.') {
    EXPECT_TRUE(file_.ExportText(path_, "SN", &values, &data_, separator));
    return CrLfLines(ReadAll(path_));
  }

  TempDir dir_;
  QString path_ = dir_.Path("result.txt");
  KAVO_File file_;
  MeasureData data_;
};

}  // namespace

TEST_F(ExportTest, HeaderAndOneLinePerBandSlot) {
  const QByteArray head1 = QByteArray::fromStdString(Utf8ToCp932("KA-V 測定データ"));
  const QByteArray head3 = QByteArray::fromStdString(Utf8ToCp932("周波数[Hz]\t抵抗値[Ω]\t位相角[deg]"));
  ASSERT_EQ(head3.count('\t'), 2);
  data_.dateTime = Utf8ToCp932("2026/12/08 9:15:30 表");
  for (int band = 1; band <= 4; ++band) {
    SCOPED_TRACE(band);
    FillBand(data_, band);
    PointValues raw, ave;
    ASSERT_TRUE(file_.ConvertData(&data_, &raw, &ave));
    const QList<QByteArray> lines = Export(raw);
    ASSERT_EQ(lines.size(), 3 + BandPointCount(band));
    EXPECT_EQ(lines[0], head1);
    EXPECT_EQ(lines[1], QByteArray::fromStdString(Utf8ToCp932("測定日時:") + data_.dateTime));
    EXPECT_EQ(lines[2], head3);
    const int first = BandFirstSlot(band);
    const QByteArray firstLine = QByteArray::fromStdString(
        FormatNumber(raw.Freq[first], "0.00") + "\t" + FormatNumber(raw.R[first], "0.00") + "\t" +
        FormatNumber(raw.Theta[first], "0.0"));
    EXPECT_EQ(lines[3], firstLine);
  }
  EXPECT_TRUE(ReadAll(path_).endsWith("\r\n"));
}

TEST_F(ExportTest, RoundingNegativeThetaAndSeparator) {
  data_.band = 3;
  PointValues values;
  values.Freq[143] = 1234.5678f;
  values.R[143] = 12.3456f;
  values.Theta[143] = -45.04f;
  values.Freq[144] = 20000.0f;
  values.R[144] = 655.355f;
  values.Theta[144] = -0.04f;
  values.Freq[263] = 0.005f;
  values.R[263] = 0.005f;
  values.Theta[263] = 3276.75f;
  QList<QByteArray> lines = Export(values);
  ASSERT_EQ(lines.size(), 3 + 121);
  EXPECT_EQ(lines[3], "1234.57\t12.35\t-45.0");
  EXPECT_EQ(lines[4], "20000.00\t655.35\t0.0");  // 655.355 as float is 655.35498...
  EXPECT_EQ(lines.last(), "0.00\t0.00\t3276.8");  // float 0.005 lies a hair below
  lines = Export(values, ',');
  EXPECT_EQ(lines[3], "1234,57\t12,35\t-45,0");
}

TEST_F(ExportTest, AveragedAndRawDifferOnlyInRAndTheta) {
  FillBand(data_, 2);
  SetSlot(data_, 50, Record(5000, 0x0400, 80000, 1));  // a spike the averaging spreads
  PointValues raw, ave;
  ASSERT_TRUE(file_.ConvertData(&data_, &raw, &ave));
  const QList<QByteArray> rawLines = Export(raw);
  const QList<QByteArray> aveLines = Export(ave);
  ASSERT_EQ(rawLines.size(), aveLines.size());
  int differing = 0;
  for (qsizetype i = 3; i < rawLines.size(); ++i) {
    const QList<QByteArray> r = rawLines[i].split('\t'), a = aveLines[i].split('\t');
    ASSERT_EQ(r.size(), 3);
    ASSERT_EQ(a.size(), 3);
    EXPECT_EQ(r[0], a[0]);
    if (r[1] != a[1] || r[2] != a[2]) ++differing;
  }
  EXPECT_GE(differing, 3);
  EXPECT_NE(rawLines[3 + 50], aveLines[3 + 50]);
  EXPECT_EQ(aveLines[3 + 50].split('\t')[1],
            QByteArray::fromStdString(FormatNumber((raw.R[49] + raw.R[50] + raw.R[51]) / 3.0, "0.00")));
  EXPECT_EQ(rawLines[3], aveLines[3]);  // end slots are not averaged
  EXPECT_EQ(rawLines.last(), aveLines.last());
}

TEST_F(ExportTest, FailuresWriteNothing) {
  FillBand(data_, 4);
  PointValues values;
  EXPECT_FALSE(file_.ExportText("", "", &values, &data_, '.'));
  EXPECT_FALSE(file_.ExportText(path_, "", nullptr, &data_, '.'));
  EXPECT_FALSE(file_.ExportText(path_, "", &values, nullptr, '.'));
  data_.band = 7;
  EXPECT_FALSE(file_.ExportText(path_, "", &values, &data_, '.'));
  EXPECT_FALSE(QFileInfo::exists(path_));

  data_.band = 4;
  ASSERT_TRUE(QDir(dir_.Root()).mkdir("taken.txt"));
  EXPECT_FALSE(file_.ExportText(dir_.Path("taken.txt"), "", &values, &data_, '.'));
  EXPECT_FALSE(file_.ExportText(dir_.Path("none/x.txt"), "", &values, &data_, '.'));
  EXPECT_EQ(QDir(dir_.Root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
            QStringList({"taken.txt"}));
}
