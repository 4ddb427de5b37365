// Driver files as the model fit writes them, read back by the one reader
// the box and compensation analyses use.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>

#include "TempDir.h"
#include "analysis/DriverFile.h"

namespace kavo::test {
namespace {

// A file as `kavo-tool fit --wdr` wrote it (the LS10-44 pair): σ in the
// Comment in the file's own units, Vas in m³.
const char* const Written =
    "[Driver]\nBrand=\nModel=\nComment=KAVO model fit (semi, creep), free 20-250 Hz, residual 2.44 %, "
    "Re 7.400 ±0.074, Fs 41.809 ±0.070, Qms 7.52 ±0.49, Qes 0.632 ±0.027, Qts 0.583 ±0.026, "
    "Vas 0.0167 ±0.0017, Le 0.00444 ±0.00094\n"
    "Fs=41.8085292\nRe=7.4\nLe=0.00443532666\nQms=7.51830369\nQes=0.632073513\nQts=0.5830553\nVas=0.0167286734\n";

TEST(DriverFile, TheCommentsSigmaInTheFilesUnitsElseTheDefaults) {
  DriverParameters d;
  ASSERT_TRUE(ParseDriverFile(Written, d));
  EXPECT_DOUBLE_EQ(d.fs, 41.8085292);
  EXPECT_DOUBLE_EQ(d.le, 0.00443532666);
  EXPECT_DOUBLE_EQ(d.fsSigma, 0.070);
  EXPECT_DOUBLE_EQ(d.qesSigma, 0.027);
  EXPECT_DOUBLE_EQ(d.reSigma, 0.074);
  EXPECT_DOUBLE_EQ(d.vasSigma, 0.0017);  // m³, as Vas itself

  // No Comment: the defaults; Qts from the other two; Vas from Cms and Sd.
  ASSERT_TRUE(ParseDriverFile("[Driver]\nFs=30\nQms=5\nQes=0.5\nCms=0.001\nSd=0.02\n", d));
  EXPECT_NEAR(d.qts, 5 * 0.5 / 5.5, 1e-12);
  EXPECT_NEAR(d.vas, 1.18 * 345.0 * 345.0 * 0.02 * 0.02 * 0.001, 1e-12);
  EXPECT_DOUBLE_EQ(d.fsSigma, DefaultFsSigma * 30);
  EXPECT_DOUBLE_EQ(d.vasSigma, DefaultVasSigma * d.vas);
  EXPECT_EQ(d.re, 0);

  // Not a driver, left as it was.
  const DriverParameters before = d;
  for (const char* text : {"Fs=30\nQms=5\nQes=0.5\n", "[Driver]\nFs=30\nQms=5\n", "[Driver]\nFs=nan\nQms=5\nQes=1\n"})
    EXPECT_FALSE(ParseDriverFile(text, d)) << text;
  EXPECT_EQ(d.fs, before.fs);
}

TEST(DriverFile, ReadingRefusesFoldersAndStreamsWithoutWaiting) {
  TempDir dir;
  DriverParameters d;
  EXPECT_EQ(ReadDriverFile(dir.Root(), d), LoadFailure::Folder);
  EXPECT_EQ(ReadDriverFile(dir.Path("none.wdr"), d), LoadFailure::NoSuchFile);
  const QString fifo = dir.Path("fifo.wdr");
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  EXPECT_EQ(ReadDriverFile(fifo, d), LoadFailure::NotData);  // would block in open()
  ASSERT_TRUE(WriteAll(dir.Path("d.wdr"), Written));
  EXPECT_EQ(ReadDriverFile(dir.Path("d.wdr"), d), LoadFailure::None);
  EXPECT_DOUBLE_EQ(d.qms, 7.51830369);
}

}  // namespace
}  // namespace kavo::test
