// kavo-tool box on simulated loudspeakers: the driver file that fit writes
// read back for a closed box, and the input it must refuse.
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <sys/stat.h>

#include "UnitModel.h"
#include "analysis/BoxModel.h"
#include "cli/Curves.h"
#include "cli/Texts.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

using Box = kavsim::DriverModel::Box;

kavsim::DriverModel InBox(kavsim::DriverModel m, Box box, double litres, double fb, double ql, double qa) {
  m.box = box, m.vb = litres * 1e-3, m.fb = fb, m.ql = ql, m.qa = qa;
  return m;
}

TEST(BoxCommand, TheDriverFileOfTheFitGivesTheClosedBoxAndItsVas) {
  const TempDir dir;
  kavsim::DriverModel m;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", m));
  const QString free = WriteDriver(dir, "free.DTA", m);
  const QString boxed = WriteDriver(dir, "boxed.DTA", InBox(m, Box::Closed, 12, 0, 0, 8));
  const QString wdr = dir.Path("driver.wdr");
  ASSERT_EQ(Tool({"fit", free, "--re", "5.6", "--model", "le", "--no-creep", "--wdr", wdr}).status, 0);
  const ToolRun run = Tool({"box", boxed, "--closed", "--vb", "12", "--driver", wdr, "--model", "le", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  const QJsonObject values = o.value("values").toObject(), sigma = o.value("sigma").toObject();
  QStringList keys = values.keys(), expected{"Fc", "Qtc", "Qec", "Qmc", "alpha", "QB", "Vas_L"};
  keys.sort(), expected.sort();
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(sigma.keys(), values.keys());
  EXPECT_EQ(o.value("driver").toString(), "file");
  // Re from the driver file; Vas from α and Vb, within its σ of the truth.
  const double fc = 42 * std::sqrt(1 + 22.0 / 12);
  EXPECT_NEAR(values.value("Fc").toDouble(), fc, 0.01 * fc);
  EXPECT_NEAR(values.value("Vas_L").toDouble(), 22, 2 * sigma.value("Vas_L").toDouble());
  EXPECT_NEAR(o.value("classic").toObject().value("Fc").toDouble(), fc, 0.01 * fc);
}

TEST(BoxCommand, RefusesWhatItCannotAnswerWithinASecond) {
  const TempDir dir;
  kavsim::DriverModel woofer, sub;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", woofer));
  ASSERT_TRUE(kavsim::FindPreset("sub10", sub));
  const QString closed = WriteDriver(dir, "closed.DTA", InBox(woofer, Box::Closed, 12, 0, 0, 8));
  const QString vented = WriteDriver(dir, "vented.DTA", InBox(woofer, Box::Vented, 30, 38, 7, 30));
  // fL near 18 Hz, below the unit's first point.
  const QString low = WriteDriver(dir, "low.DTA", InBox(sub, Box::Vented, 60, 32, 7, 30));
  const QString notDriver = dir.Path("bad.wdr");
  ASSERT_TRUE(cli::SaveText(notDriver, "[Driver]\nFs=abc\nQts=0.4\n"));
  const QStringList typed{"--fs", "42", "--qms", "4.2", "--qes", "0.42", "--re", "5.6"};
  const QString fifo = dir.Path("free.zma");  // a table nobody writes into
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  const struct {
    QStringList args;
    int status;
    QString said;  // the message's end
  } cases[] = {
      {QStringList{vented, "--closed"} + typed, 1, cli::FitFailureText(FitFailure::VentedGivenClosed)},
      {QStringList{closed, "--vented"} + typed, 1, cli::FitFailureText(FitFailure::ClosedGivenVented)},
      {QStringList{low, "--vented", "--fs", "24", "--qts", "0.36"}, 1, cli::FitFailureText(FitFailure::SecondPeakMissing)},
      {{closed, "--closed", "--driver", notDriver}, 1, "not a driver file with Fs and two of Qms, Qes, Qts"},
      {QStringList{closed, "--closed", "--vb", "0"} + typed, 64, "--vb must be a number above 0, not '0'"},
      {QStringList{closed, "--closed", "--vb", "-3"} + typed, 64, "--vb must be a number above 0, not '-3'"},
      {QStringList{closed, "--closed", "--vb", "1e308"} + typed, 1, cli::FitFailureText(FitFailure::BadVolume)},
      {QStringList{closed, "--closed", "--fs", "42"}, 64, "the driver's values need --fs HZ and --qts Q (or --qms and --qes)"},
      {QStringList{closed} + typed, 64, "give either --closed or --vented"},
      {{closed, "--closed", "--free", fifo}, 2, "free.zma"},
  };
  for (const auto& c : cases) {
    QElapsedTimer clock;
    clock.start();
    const ToolRun run = Tool(QStringList{"box"} + c.args);
    EXPECT_LT(clock.elapsed(), 1000) << c.args.join(' ').toStdString();
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << run.err;
    EXPECT_NE(run.err.find(c.said.toStdString()), std::string::npos) << run.err;
  }
}

// Finished loudspeakers checked by their box: vented ones tuned 38 Hz pass
// box.Fb = 36..40 with an open-ended box.QL, the one tuned 44 Hz fails on Fb
// (and its closed sibling, which has no Fb, for that); box.Vab is refused.
TEST(BoxCommand, QualityChecksOfFinishedLoudspeakersByTheirBox) {
  const TempDir dir;
  kavsim::DriverModel m;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", m));
  const QString ref = WriteDriver(dir, "ref.DTA", InBox(m, Box::Vented, 30, 38, 7, 30));
  const QStringList files{WriteDriver(dir, "good.DTA", InBox(m, Box::Vented, 29, 38.5, 8, 30)),
                          WriteDriver(dir, "high.DTA", InBox(m, Box::Vented, 30, 44, 7, 30)),
                          WriteDriver(dir, "closed.DTA", InBox(m, Box::Closed, 30, 0, 0, 10))};
  WriteAll(dir.Path("box.kqc"), "reference = ref.DTA\nre = 5.6\nbox.Fb = 36..40\nbox.QL = 5..\n");
  const ToolRun run = Tool(QStringList{"qc", dir.Path("box.kqc")} + files);
  const QStringList lines = QString::fromStdString(run.out).split('\n');
  ASSERT_GE(lines.size(), 3) << run.out << run.err;
  EXPECT_TRUE(lines[0].startsWith("PASS\t")) << lines[0].toStdString();
  EXPECT_TRUE(lines[1].startsWith("FAIL\t")) << lines[1].toStdString();
  EXPECT_TRUE(lines[1].contains("box.Fb 44")) << lines[1].toStdString();
  EXPECT_TRUE(lines[2].startsWith("FAIL\t") && lines[2].contains("box.Fb")) << lines[2].toStdString();
  EXPECT_FALSE(QString::fromStdString(run.out).contains("inf")) << run.out;
  WriteAll(dir.Path("vab.kqc"), "reference = ref.DTA\nbox.Vab = 20..40\n");
  const ToolRun refused = Tool(QStringList{"qc", dir.Path("vab.kqc"), files[0]});
  EXPECT_EQ(refused.status, 64) << refused.err;
  EXPECT_NE(refused.err.find("box.Vab"), std::string::npos) << refused.err;
}

}  // namespace
}  // namespace kavo::test
