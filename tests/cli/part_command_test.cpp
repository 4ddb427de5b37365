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

}  // namespace
}  // namespace kavo::test
