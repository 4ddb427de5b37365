// kavo-tool fit on the real 10-inch pair (free and with 100 g) and on
// curves it must refuse.
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "RealData.h"
#include "UnitModel.h"
#include "analysis/ModelFit.h"
#include "cli_fixture.h"

namespace kavo::test {
namespace {

QJsonObject FitPair(const char* model, const QStringList& extra = {}) {
  const ToolRun run = Tool(QStringList{"fit", Real("LS10-44_free.zma"), "--re", "7.4", "--model", model, "--sd",
                                       "330", "--added-mass", "100", "--loaded", Real("LS10-44_100g.zma"), "--json"} +
                           extra);
  EXPECT_EQ(run.status, 0) << model << run.err;
  return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

QStringList Keys(const QJsonObject& o) {
  QStringList k = o.value("values").toObject().keys();
  k.sort();
  return k;
}

TEST(FitCommand, TheRealPairGivesOneMmsAndBlWithEitherLossyCoil) {
  const QJsonObject lr2 = FitPair("lr2"), semi = FitPair("semi"), le = FitPair("le");
  QStringList common{"Re", "Fs", "Qms", "Qes", "Qts", "lambda", "Mms_g", "Cms_mm_per_N", "Rms", "Bl", "Vas_L", "EBP"};
  QStringList lr2Keys = common + QStringList{"Le_mH", "L2_mH", "R2"}, semiKeys = common + QStringList{"K", "n"};
  lr2Keys.sort();
  semiKeys.sort();
  EXPECT_EQ(Keys(lr2), lr2Keys);
  EXPECT_EQ(Keys(semi), semiKeys);
  EXPECT_EQ(semi.value("sigma").toObject().keys(), semi.value("values").toObject().keys());
  EXPECT_EQ(semi.value("model").toString(), "semi");
  EXPECT_EQ(semi.value("range_hz").toArray(), (QJsonArray{20, 250}));
  auto v = [](const QJsonObject& o, const char* key) { return o.value("values").toObject().value(key).toDouble(); };
  for (const char* key : {"Mms_g", "Bl"})
    EXPECT_NEAR(v(lr2, key) / v(semi, key), 1.0, 0.03) << key << ' ' << v(lr2, key) << ' ' << v(semi, key);
  for (const QJsonObject* o : {&lr2, &semi}) {
    EXPECT_LT(o->value("residual_rms").toDouble(), PoorFitResidual);
    EXPECT_TRUE(o->value("warnings").toArray().isEmpty());
  }
  // A plain inductance cannot follow this coil: said so.
  EXPECT_GT(le.value("residual_rms").toDouble(), PoorFitResidual);
  EXPECT_TRUE(le.value("warnings").toArray().first().toString().startsWith("poor fit"));

  // The table and the driver file say the same in their own units.
  const TempDir dir;
  const QString wdr = dir.Path("ls10.wdr");
  const ToolRun table = Tool({"fit", Real("LS10-44_free.zma"), "--re", "7.4", "--sd", "330", "--added-mass", "100",
                              "--loaded", Real("LS10-44_100g.zma"), "--wdr", wdr, "--brand", "Dayton", "--model-name",
                              "LS10-44"});
  ASSERT_EQ(table.status, 0) << table.err;
  const QRegularExpression row(QStringLiteral("^(\\S+)\\t(-?[0-9.]+)\\t±([0-9.]+)\\t(\\S*)$"));
  QMap<QString, double> shown;
  const QStringList lines = QString::fromStdString(table.out).split('\n', Qt::SkipEmptyParts);
  for (const QString& line : lines.mid(0, lines.size() - 1)) {
    const auto m = row.match(line);
    ASSERT_TRUE(m.hasMatch()) << line.toStdString();
    shown[m.captured(1)] = m.captured(2).toDouble();
  }
  EXPECT_NEAR(shown["Mms"], v(semi, "Mms_g"), 0.1);
  const QString file = QString::fromUtf8(ReadAll(wdr));
  EXPECT_TRUE(file.startsWith("[Driver]\nBrand=Dayton\nModel=LS10-44\n")) << file.toStdString();
  const auto key = [&](const char* k) {
    return QRegularExpression(QStringLiteral("\\n%1=([^\\n]+)").arg(k)).match(file).captured(1).toDouble();
  };
  EXPECT_NEAR(key("Mms"), v(semi, "Mms_g") * 1e-3, 1e-6);
  EXPECT_NEAR(key("Vas"), v(semi, "Vas_L") * 1e-3, 1e-6);
  EXPECT_NEAR(key("Cms"), v(semi, "Cms_mm_per_N") * 1e-3, 1e-9);
  EXPECT_DOUBLE_EQ(key("Sd"), 0.033);
}

TEST(FitCommand, RefusesCurvesWithoutAnAnswer) {
  const TempDir dir;
  MeasureData flat;
  FillBand(flat, 1, [](double, double& r, double& theta) { r = 8.0, theta = 0.0; });
  SettingsRecord settings;
  const QString flatFile = dir.Path("flat.DTA");
  ASSERT_TRUE(KAVO_File().WriteDataFile(flatFile, "0815", &settings, &flat));
  kavsim::DriverModel m;
  m.coil = kavsim::DriverModel::Coil::Semi, m.K = 0.006, m.n = 0.7, m.creep = 0.05;
  const QString free = WriteDriver(dir, "free.DTA", m);
  const QString boxed = WriteDriver(dir, "boxed.DTA", kavsim::Loaded(m, 0, 0.01));
  const struct {
    QStringList args;
    FitFailure failure;
    QString about;  // the file named in the message
  } cases[] = {
      {{flatFile, "--re", "6"}, FitFailure::NoResonance, flatFile},
      {{free, "--re", "5.6", "--fmin", "100", "--fmax", "101"}, FitFailure::TooFewPoints, free},
      {{free, "--re", "5.6", "--added-mass", "10", "--loaded", boxed}, FitFailure::LoadedNotBelow, boxed},
      {{free, "--re", "70"}, FitFailure::BadRe, {}},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool(QStringList{"fit"} + c.args);
    EXPECT_EQ(run.status, 1) << c.args.join(' ').toStdString();
    const QString prefix = c.about.isEmpty() ? QString() : c.about + ": ";
    EXPECT_EQ(run.err, ("kavo-tool fit: " + prefix + FitFailureText(c.failure, false) + "\n").toStdString());
  }
}

}  // namespace
}  // namespace kavo::test
