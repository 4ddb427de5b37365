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
#include "cli/Texts.h"
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
    // A real curve's misfit runs along it: more than one point per independent one.
    EXPECT_GT(o->value("residual_correlation_points").toDouble(), 1.0);
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
    EXPECT_EQ(run.err, ("kavo-tool fit: " + prefix + cli::FitFailureText(c.failure) + "\n").toStdString());
  }
}

// The range reported is the one fitted, per curve, not the one typed; the
// driver file's texts stay on their lines.
TEST(FitCommand, ReportsTheRangeFittedAndRefusesLineBreaksInTheDriverFile) {
  const QJsonObject wide = FitPair("semi", {"--fmin", "10", "--fmax", "99999"});
  EXPECT_EQ(wide.value("range_hz").toArray(), (QJsonArray{20, 250}));
  const QJsonObject ranges = wide.value("ranges_hz").toObject();
  EXPECT_EQ(ranges.keys(), (QStringList{"free", "loaded"}));
  for (const QString& curve : ranges.keys()) EXPECT_EQ(ranges.value(curve).toArray(), (QJsonArray{20, 250})) << curve.toStdString();

  const TempDir dir;
  const QString wdr = dir.Path("out.wdr");
  const QStringList fit{"fit", Real("LS10-44_free.zma"), "--re", "7.4", "--fmax", "99999", "--wdr", wdr};
  ASSERT_EQ(Tool(fit).status, 0);
  EXPECT_TRUE(QString::fromUtf8(ReadAll(wdr)).contains("\nComment=KAVO model fit (semi, creep), 20-250 Hz, residual"));
  for (const char* option : {"--brand", "--model-name", "--comment"})
    for (const char* text : {"A\nFs=999", "A\rB", "A\tB"}) {
      QFile::remove(wdr);
      const ToolRun run = Tool(fit + QStringList{option, text});
      EXPECT_EQ(run.status, 64) << option << ' ' << text;
      EXPECT_NE(run.err.find(option), std::string::npos) << run.err;
      EXPECT_FALSE(QFileInfo::exists(wdr)) << option;
    }
}

// `real` as a table of |Z| alone: its frequency and magnitude columns.
QString WithoutPhase(const TempDir& dir, const char* real) {
  QByteArray text;
  for (const QByteArray& line : ReadAll(Real(real)).split('\n'))
    if (!line.startsWith('*') && !line.trimmed().isEmpty()) text += line.split(' ').mid(0, 2).join(' ') + '\n';
  const QString path = dir.Path(QString::fromUtf8(real));
  EXPECT_TRUE(WriteAll(path, text));
  return path;
}

// Fitted as if θ were measured, the real 10-inch pair without phase gave Qes
// more than three times too large; fitted by |Z| it keeps the values with
// phase, and reports only what |Z| determines.
TEST(FitCommand, ACurveWithoutPhaseIsFittedByItsMagnitude) {
  const TempDir dir;
  const ToolRun run = Tool({"fit", WithoutPhase(dir, "LS10-44_free.zma"), "--re", "7.4", "--sd", "330", "--added-mass",
                            "100", "--loaded", WithoutPhase(dir, "LS10-44_100g.zma"), "--json"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "kavo-tool fit: warning: no phase: magnitude fitted\n");
  const QJsonObject magnitude = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  EXPECT_EQ(magnitude.value("warnings").toArray(), QJsonArray{"no phase: magnitude fitted"});
  QStringList keys{"Re", "Fs", "Qms", "Qes", "Qts", "Mms_g", "Cms_mm_per_N", "Rms", "Bl", "Vas_L", "EBP"};
  keys.sort();
  EXPECT_EQ(Keys(magnitude), keys);
  const QJsonObject phase = FitPair("semi");
  auto v = [](const QJsonObject& o, const char* key) { return o.value("values").toObject().value(key).toDouble(); };
  for (const char* key : {"Fs", "Qes", "Qts", "Mms_g", "Bl"})
    EXPECT_NEAR(v(magnitude, key) / v(phase, key), 1.0, 0.03) << key << ' ' << v(magnitude, key) << ' ' << v(phase, key);
}

// An Re the curve rules out, a range without the resonance: a reason and
// exit 1, never a number. A loaded curve keeps its own resonance inside
// its range when the range's lower end would cut it off.
TEST(FitCommand, NoNumberWhereThereIsNoneAndTheLoadedCurveKeepsItsResonance) {
  const QString free = Real("LS10-44_free.zma");
  const struct {
    QStringList args;
    int status;
    const char* says;  // in standard error
  } cases[] = {
      // The smallest resistance, R·cos θ at 20 Hz, is 9.355 Ω; the smallest
      // |Z|, 10.795 Ω, would let an Re of 10 Ω through.
      {{"--re", "70"}, 1, "Re 70.000 Ω is above the curve's smallest resistance (real part of Z), 9.355 Ω"},
      {{"--re", "10"}, 1, "Re 10.000 Ω is above the curve's smallest resistance (real part of Z), 9.355 Ω"},
      {{"--re", "9.52"}, 1, "Re 9.520 Ω is above"},
      {{"--re", "9.51"}, 0, ""},  // within the point's 1 % and the unit's 0.01 Ω
      {{"--re", "7.4", "--fmin", "150"}, 1, "no resonance peak in the frequency range"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool(QStringList{"fit", free} + c.args);
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    for (const char* none : {"nan", "inf"}) EXPECT_EQ(run.out.find(none), std::string::npos) << run.out;
  }
  const QJsonObject ranges = FitPair("semi", {"--fmin", "30"}).value("ranges_hz").toObject();
  EXPECT_GE(ranges.value("free").toArray().at(0).toDouble(), 30);
  // The loaded resonance (31.5 Hz) as far inside as the free one (42 Hz) above 30 Hz.
  EXPECT_NEAR(ranges.value("loaded").toArray().at(0).toDouble(), 30 * 31.6 / 41.8, 0.5);
}

}  // namespace
}  // namespace kavo::test
