// kavo-tool part and compensate on curves of the simulated unit, and the
// curves each must refuse.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "UnitModel.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

QString Part(const TempDir& dir, const char* name, kavsim::PartModel::Kind kind) {
  kavsim::DriverModel m;
  m.part.kind = kind;
  return WriteDriver(dir, name, m);
}

TEST(PartCommand, InductorInJsonWithItsValueAtAFrequency) {
  const TempDir dir;
  const ToolRun run = Tool({"part", Part(dir, "l.DTA", kavsim::PartModel::Kind::Inductor), "--at", "1000", "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("inductor"), std::string::npos) << run.err;
  const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  EXPECT_EQ(o.value("kind").toString(), "inductor");
  EXPECT_EQ(o.value("values").toObject().keys(), (QStringList{"L_mH", "Q_1k", "Rdc"}));
  EXPECT_EQ(o.value("sigma").toObject().keys(), o.value("values").toObject().keys());
  EXPECT_NEAR(o.value("values").toObject().value("L_mH").toDouble(), 1.0, 0.01);
  const QJsonObject at = o.value("at").toArray().first().toObject();
  EXPECT_EQ(at.value("f_hz").toDouble(), 1000);
  EXPECT_NEAR(at.value("value").toDouble(), 1.0, 0.01);
}


TEST(CompensateCommand, DesignsFromTheCurveWritesTheZmaAndRefusesWhatIsNoDriversCurve) {
  const TempDir dir;
  kavsim::DriverModel m;
  const QString driver = WriteDriver(dir, "woofer.DTA", m), out = dir.Path("flat.zma");
  const ToolRun run = Tool({"compensate", driver, "--re", "5.6", "--json", "-o", out});
  ASSERT_EQ(run.status, 0) << run.err;
  const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  const QStringList keys{"Cn_uF", "Cz_uF", "Ln_mH", "Rn", "Rz"};
  for (const char* part : {"values", "sigma", "standard"}) EXPECT_EQ(o.value(part).toObject().keys(), keys) << part;
  EXPECT_NEAR(o.value("values").toObject().value("Rz").toDouble(), m.Re, 0.1 * m.Re);
  EXPECT_NEAR(o.value("band_hz").toArray().at(0).toDouble(), 3 * m.Fs, 0.05 * m.Fs);
  EXPECT_LT(o.value("flatness_pct").toObject().value("exact").toDouble(), 10);
  // The ZMA: the compensated curve, flat at Re above the resonance.
  const QList<QByteArray> lines = ReadAll(out).split('\n');
  const QList<QByteArray> top = lines.at(lines.size() - 2).split(' ');
  EXPECT_NEAR(top.value(0).toDouble(), 20000, 100);
  EXPECT_NEAR(top.value(1).toDouble(), m.Re, 0.1 * m.Re);
  // From a driver file without Le (the Zobel's start from the curve's top).
  ASSERT_TRUE(WriteAll(dir.Path("w.wdr"), "[Driver]\nRe=5.6\nFs=42\nQms=4.2\nQes=0.42\n"));
  const ToolRun fromFile = Tool({"compensate", driver, "--driver", dir.Path("w.wdr")});
  EXPECT_EQ(fromFile.status, 0) << fromFile.err;
  ASSERT_TRUE(WriteAll(dir.Path("other.wdr"), "[Driver]\nRe=5.6\nFs=86\nQms=4.2\nQes=0.42\n"));
  // A part's curve, a band beyond the curve, no driver's values, the input as the output.
  const QString part = Part(dir, "l.DTA", kavsim::PartModel::Kind::Inductor);
  const struct { QStringList args; int status; const char* says; } refused[] = {
      {{"compensate", part, "--re", "0.3"}, 1, "part"},
      {{"compensate", driver, "--re", "5.6", "--band", "200", "40000"}, 1, "band"},
      {{"compensate", driver}, 64, "--re"},
      {{"compensate", driver, "--re", "5.6", "--power", "1e308"}, 64, "--power"},
      {{"compensate", driver, "--driver", dir.Path("other.wdr")}, 1, "another driver"},
      {{"compensate", driver, "--re", "5.6", "-o", driver}, 64, "woofer.DTA"},
      {{"part", driver}, 1, "driver"},
      {{"part", part, "--at", "1e308"}, 1, "--at lies outside"},
      {{"part", part, "--at", "30000"}, 1, "--at lies outside"},
  };
  for (const auto& c : refused) {
    const ToolRun r = Tool(c.args);
    EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << ": " << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

}  // namespace
}  // namespace kavo::test
