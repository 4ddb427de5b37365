// kavo-tool qc and match on sets of simulated drivers: who fails and why,
// the statistics against the analysis each file gets alone, known pairs
// among strays, and rules files that must be refused before anything is read.
#include <QImage>
#include <QRegularExpression>
#include <cmath>

#include "UnitModel.h"
#include "cli_fixture.h"
#include "graph/ToleranceBand.h"
#include "platform/desktop/Look.h"

namespace kavo::test {
namespace {

// A driver of the default type with some parameters changed.
kavsim::DriverModel Driver(double fs, double qes, double le = 0.45e-3) {
  kavsim::DriverModel m;
  m.Fs = fs;
  m.Qes = qes;
  m.Le = le;
  return m;
}

QStringList Lines(const std::string& text) { return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts); }

// Where a driver's curve leaves the band around the reference's, from the
// two models directly: runs of the unit's frequencies, each with its worst deviation.
struct Excursion {
  double f1, f2, worst;
};
std::vector<Excursion> Runs(const kavsim::DriverModel& ref, const kavsim::DriverModel& m, bool theta, double tol) {
  std::vector<Excursion> runs;
  bool open = false;
  for (int k = 0; k < kavsim::GridSlots; ++k) {
    const double f = kavsim::SlotFrequency(k);
    // As the unit codes them: R to 0.01 Ω, θ to 0.1°.
    auto r = [f](const kavsim::DriverModel& d) { return std::round(std::abs(kavsim::Impedance(d, f)) * 100) / 100; };
    auto deg = [f](const kavsim::DriverModel& d) { return std::round(std::arg(kavsim::Impedance(d, f)) * 1800 / M_PI) / 10; };
    const double dev = theta ? deg(m) - deg(ref) : 100 * (r(m) - r(ref)) / r(ref);
    if (std::abs(dev) <= tol) {
      open = false;
      continue;
    }
    if (!open) runs.push_back({f, f, dev});
    open = true;
    runs.back().f2 = f;
    if (std::abs(dev) > std::abs(runs.back().worst)) runs.back().worst = dev;
  }
  return runs;
}

// `ts --re 5.6 --raw`'s value of the row starting with `row`.
double TsValue(const QString& file, const char* row) {
  for (const QString& line : Lines(Tool({"ts", file, "--re", "5.6", "--raw"}).out))
    if (line.startsWith(row)) return line.split('\t').value(1).toDouble();
  ADD_FAILURE() << row;
  return 0;
}

TEST(QcCommand, TheDriversOutsideFailWithTheirReasonsAndTheStatisticsAreTheSets) {
  TempDir dir;
  const kavsim::DriverModel nominal = Driver(42, 0.42);
  const QString ref = WriteDriver(dir, "ref.DTA", nominal);
  WriteAll(dir.Path("rules.kqc"), "# one type of woofer\nreference = ref.DTA\nre = 5.6\nR = 15%  # the curve\n"
                                  "theta = 20 deg\nFs = 5%\nQts = 0.35..0.42\n");
  // Two inside, one resonating 12 % high, one with a weaker motor (Qts
  // 0.49), one with three times the coil's inductance.
  const struct {
    const char* name;
    kavsim::DriverModel model;
  } cases[] = {{"inside.DTA", Driver(42.5, 0.43)},  {"q_inside.DTA", Driver(41.5, 0.40)}, {"fs_high.DTA", Driver(47, 0.42)},
               {"qes_high.DTA", Driver(42, 0.55)}, {"coil.DTA", Driver(42, 0.42, 1.35e-3)}};
  QStringList files;
  for (const auto& c : cases) files << WriteDriver(dir, c.name, c.model);
  const ToolRun run = Tool(QStringList{"qc", dir.Path("rules.kqc")} + files);
  EXPECT_EQ(run.status, 1) << run.err;
  const QStringList lines = Lines(run.out);
  ASSERT_GE(lines.size(), qsizetype(std::size(cases))) << run.out;
  const double fsRef = TsValue(ref, "Fs");
  const QRegularExpression band("^(R|θ) leaves the band at ([0-9.]+)(?:–([0-9.]+))? Hz by up to ([-+0-9.]+) ");
  QStringList failed;
  for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
    const auto& c = cases[i];
    const QStringList fields = lines[i].split('\t');
    ASSERT_EQ(fields.value(1), files[i]) << lines[i].toStdString();
    if (fields.value(0) == "FAIL") failed << c.name;
    const QStringList reasons = fields.value(2).split("; ", Qt::SkipEmptyParts);
    std::vector<Excursion> expected = Runs(nominal, c.model, false, 15);
    const size_t rRuns = expected.size();
    for (const Excursion& r : Runs(nominal, c.model, true, 20)) expected.push_back(r);
    const double fs = TsValue(files[i], "Fs");
    const double qts = TsValue(files[i], "Qts");
    const bool fsOut = std::abs(fs - fsRef) > 0.05 * fsRef, qtsOut = qts < 0.35 || qts > 0.42;
    ASSERT_EQ(size_t(reasons.size()), expected.size() + fsOut + qtsOut) << lines[i].toStdString();
    for (size_t k = 0; k < expected.size(); ++k) {
      const QRegularExpressionMatch m = band.match(reasons[qsizetype(k)]);
      ASSERT_TRUE(m.hasMatch()) << reasons[qsizetype(k)].toStdString();
      EXPECT_EQ(m.captured(1), k < rRuns ? "R" : "θ");
      EXPECT_NEAR(m.captured(2).toDouble(), expected[k].f1, 0.005 * expected[k].f1);
      const double f2 = m.captured(3).isEmpty() ? m.captured(2).toDouble() : m.captured(3).toDouble();
      EXPECT_NEAR(f2, expected[k].f2, 0.005 * expected[k].f2);
      EXPECT_NEAR(m.captured(4).toDouble(), expected[k].worst, 0.02 * std::abs(expected[k].worst));
    }
    if (fsOut) { EXPECT_NEAR(reasons[qsizetype(expected.size())].split(' ').value(1).toDouble(), fs, 1e-3 * fs); }
    if (qtsOut) { EXPECT_TRUE(reasons.last().startsWith("Qts " + QString::number(qts, 'g', 4) + " outside 0.35..0.42")); }
  }
  EXPECT_EQ(failed, (QStringList{"fs_high.DTA", "qes_high.DTA", "coil.DTA"}));

  // The statistics equal those of the values `ts` gives file by file.
  std::vector<double> fs, qts;
  for (const QString& f : files) fs.push_back(TsValue(f, "Fs")), qts.push_back(TsValue(f, "Qts"));
  ASSERT_EQ(fs.size(), files.size());
  for (const auto& [name, values] : {std::pair{"Fs", fs}, std::pair{"Qts", qts}}) {
    double mean = 0, sq = 0;
    for (double v : values) mean += v / double(values.size());
    for (double v : values) sq += (v - mean) * (v - mean);
    const QString stat = lines.filter(QRegularExpression(QString("^STAT\t%1\t").arg(name))).value(0);
    const QStringList cells = stat.split('\t');
    ASSERT_EQ(cells.size(), 7) << run.out;
    EXPECT_EQ(cells[2].toInt(), int(values.size()));
    EXPECT_NEAR(cells[3].toDouble(), mean, 1e-5 * mean);
    EXPECT_NEAR(cells[4].toDouble(), std::sqrt(sq / double(values.size() - 1)), 1e-4 * mean);
    EXPECT_NEAR(cells[5].toDouble(), *std::min_element(values.begin(), values.end()), 1e-5 * mean);
    EXPECT_NEAR(cells[6].toDouble(), *std::max_element(values.begin(), values.end()), 1e-5 * mean);
  }

  // A file that cannot be read: status 2, the others still checked.
  const ToolRun missing = Tool(QStringList{"qc", dir.Path("rules.kqc"), dir.Path("none.DTA")} + files);
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(Lines(missing.out).filter(QRegularExpression("^(PASS|FAIL)\t")).size(), files.size());
  EXPECT_NE(missing.err.find("none.DTA"), std::string::npos);
}

TEST(QcCommand, RulesWithAnErrorAreRefusedWithTheLineAndNothingIsChecked) {
  TempDir dir;
  const QString driver = WriteDriver(dir, "a.DTA", Driver(42, 0.42));
  const struct {
    const char* rules;
    const char* said;
  } cases[] = {
      {"reference = a.DTA\nR = 10%\n\nFz = 5%\n", "rules.kqc:4: unknown key 'Fz'"},
      {"reference = a.DTA\n# Qts\nre = 5.6\nQts = low\n", "rules.kqc:4: 'low' is not a number or a percent"},
      {"reference = a.DTA\nR = 10 volts\n", "rules.kqc:2: '10 volts' is not a number or a percent"},
      {"R = 10%\nFs = 5%\n", "rules.kqc: no reference"},
      {"\nreference = gone.DTA\nR = 10%\n", "rules.kqc:2: the reference "},
      {"reference = mean\nQes = 5%\n", "rules.kqc:2: Qes needs re = OHMS"},
      {"reference = mean\nrange = 300 200\n", "rules.kqc:2: range takes"},
  };
  for (const auto& c : cases) {
    WriteAll(dir.Path("rules.kqc"), c.rules);
    const ToolRun run = Tool({"qc", dir.Path("rules.kqc"), driver});
    EXPECT_EQ(run.status, 64) << c.rules;
    EXPECT_EQ(run.out, "") << c.rules;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
}

// Nothing false and nothing lost: every input kept from every output, a
// check that compares nothing refused, `-` kept off the report's standard
// output, a value no single-curve fit gives refused, an output that fails
// told apart from a failing driver.
TEST(QcCommand, WhatCannotBeCheckedOrWrittenIsSaidAndNoInputIsReplaced) {
  TempDir dir;
  const QString ref = WriteDriver(dir, "ref.DTA", Driver(42, 0.42));
  const QString driver = WriteDriver(dir, "a.DTA", Driver(42.3, 0.42));
  ASSERT_EQ(Tool({"export", ref, "--format", "csv", "-o", dir.Path("ref.csv")}).status, 0);
  const QByteArray table = ReadAll(dir.Path("ref.csv"));
  WriteAll(dir.Path("table.kqc"), "reference = ref.csv\nR = 10%\n");
  WriteAll(dir.Path("rules.csv"), "reference = ref.DTA\nR = 10%\n");
  WriteAll(dir.Path("high.kqc"), "reference = ref.DTA\nrange = 30000 40000\nR = 10%\n");
  WriteAll(dir.Path("le.kqc"), "reference = ref.DTA\nfit.Fs = 5%\nfit.Le = 10%\n");
  const QString tableRules = dir.Path("table.kqc"), rulesCsv = dir.Path("rules.csv");
  const struct {
    QStringList args;
    int status;
    const char* said;
  } cases[] = {
      {{"qc", tableRules, driver, "--csv", dir.Path("ref.csv")}, 64, "would replace the input"},
      {{"qc", rulesCsv, driver, "--csv", rulesCsv}, 64, "would replace the input"},
      {{"qc", dir.Path("high.kqc"), driver}, 64, "high.kqc:2: the range 30000 40000 Hz holds no point of the reference"},
      {{"qc", tableRules, driver, "--csv", "-"}, 64, "--csv - would mix"},
      {{"qc", tableRules, driver, "--plot", "-"}, 64, "--plot - would mix"},
      {{"qc", dir.Path("le.kqc"), driver}, 64, "le.kqc:3: 'fit.Le' is not determined"},
      {{"qc", tableRules, driver, "--csv", dir.Path("none/out.csv")}, 2, "out.csv: cannot be written"},
  };
  for (const auto& c : cases) {
    const ToolRun run = Tool(c.args);
    EXPECT_EQ(run.status, c.status) << c.args.join(' ').toStdString() << run.err;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << run.err;
  }
  EXPECT_EQ(ReadAll(dir.Path("ref.csv")), table);
  EXPECT_TRUE(ReadAll(rulesCsv).startsWith("reference = ref.DTA"));
  // The θ band is shaded in the picture when the rules limit θ, and only then.
  WriteAll(dir.Path("theta.kqc"), "reference = ref.DTA\nR = 10%\ntheta = 5 deg\n");
  const QColor thetaShade = ToleranceShade(ColorFromBgr(uint32_t(SettingsRecord().PenColor_Theta)));
  for (const char* rules : {"theta.kqc", "table.kqc"}) {
    const QString png = dir.Path(QString::fromUtf8(rules) + ".png");
    ASSERT_LE(Tool({"qc", dir.Path(rules), driver, "--plot", png}).status, 1);
    const QImage picture(png);
    int shaded = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const double a = thetaShade.alphaF();
        const QColor c = picture.pixelColor(x, y), blend = QColor::fromRgbF(
            thetaShade.redF() * a + 1 - a, thetaShade.greenF() * a + 1 - a, thetaShade.blueF() * a + 1 - a);
        shaded += std::abs(c.red() - blend.red()) + std::abs(c.green() - blend.green()) + std::abs(c.blue() - blend.blue()) <= 6;
      }
    EXPECT_EQ(shaded > picture.width(), std::string(rules) == "theta.kqc") << rules << " " << shaded;
  }
  // A failed output after a pass is status 2 with the verdict still given.
  EXPECT_TRUE(Tool({"qc", tableRules, driver, "--csv", dir.Path("none/out.csv")}).out.starts_with("PASS\t"));

}

TEST(MatchCommand, DriversThatCannotBePairedAreNamedAndNothingIsPrintedAsAPairOfOne) {
  TempDir dir;
  const QString a = WriteDriver(dir, "a.DTA", Driver(42, 0.42)), b = WriteDriver(dir, "b.DTA", Driver(43, 0.43));
  const QString c = WriteDriver(dir, "c.DTA", Driver(44, 0.43));
  kavsim::DriverModel dead = Driver(42, 0.42);
  dead.Qes = 1e6;  // no motor: no resonance
  const QString none = WriteDriver(dir, "dead.DTA", dead);
  const struct {
    QStringList args;
    int status;
    const char* said;
  } cases[] = {
      {{"match", a}, 64, "two files at least"},
      {{"match", a, dir.Path("./a.DTA")}, 64, "are one file"},
      {{"match", a, b, "--pairs", "0"}, 64, "--pairs takes"},
      {{"match", a, b, "--fmin", "30000", "--fmax", "40000"}, 64, "is not inside the band"},
      {{"match", a, b, none}, 1, "dead.DTA: not paired: Fs not determined"},
      {{"match", a, b, c, "--re", "70"}, 1, "not paired: Qts not determined"},
  };
  for (const auto& k : cases) {
    const ToolRun run = Tool(k.args);
    EXPECT_EQ(run.status, k.status) << k.args.join(' ').toStdString() << run.err;
    EXPECT_NE(run.err.find(k.said), std::string::npos) << run.err;
  }
  // The two that have a resonance are still paired.
  EXPECT_EQ(Lines(Tool({"match", a, b, none}).out).size(), 1);
}

TEST(MatchCommand, TheKnownPairsComeFirstAmongStrays) {
  TempDir dir;
  const struct {
    const char* name;
    kavsim::DriverModel model;
  } set[] = {
      {"stray1.DTA", Driver(44, 0.50)}, {"a1.DTA", Driver(39, 0.40)},  {"b1.DTA", Driver(47, 0.45)},
      {"a2.DTA", Driver(39.2, 0.405)},  {"stray2.DTA", Driver(36, 0.44)}, {"b2.DTA", Driver(47.3, 0.452)},
  };
  QStringList files;
  for (const auto& d : set) files << WriteDriver(dir, d.name, d.model);
  const ToolRun run = Tool(QStringList{"match", "--re", "5.6"} + files);
  ASSERT_EQ(run.status, 0) << run.err;
  const QStringList lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3) << run.out;
  QStringList firstTwo;
  for (int i = 0; i < 2; ++i) {
    const QStringList cells = lines[i].split('\t');
    firstTwo << QFileInfo(cells[0]).fileName() + "+" + QFileInfo(cells[1]).fileName();
  }
  firstTwo.sort();
  EXPECT_EQ(firstTwo, (QStringList{"a1.DTA+a2.DTA", "b1.DTA+b2.DTA"}));
  EXPECT_LT(lines[1].split('\t')[2].toDouble(), lines[2].split('\t')[2].toDouble());
  const ToolRun one = Tool(QStringList{"match", "--pairs", "1"} + files);
  EXPECT_EQ(Lines(one.out).size(), 1);
}


// Incoming parts against their nominal values: no reference needed, an open
// interval, the unit on the number.
TEST(QcCommand, PartsAgainstTheirNominalValuesWithoutAReference) {
  TempDir dir;
  WriteAll(dir.Path("parts.kqc"), "part.L = 1mH 5%\npart.Rdc = ..0.5 ohm\n");
  auto inductor = [](double l, double rdc) {
    kavsim::DriverModel m;
    m.part = {kavsim::PartModel::Kind::Inductor, l, rdc};
    return m;
  };
  const struct { const char* name; kavsim::DriverModel model; const char* verdict; } cases[] = {
      {"good.DTA", inductor(1e-3, 0.3), "PASS\t%1\t?$"},
      {"high.DTA", inductor(1.1e-3, 0.3), "FAIL\t%1\tpart\\.L 1\\.[01]\\d* outside 0\\.95\\.\\.1\\.05$"},
      {"lossy.DTA", inductor(1e-3, 0.7), "FAIL\t%1\tpart\\.Rdc 0\\.[67]\\d* outside \\.\\.0\\.5$"},
      {"driver.DTA", kavsim::DriverModel(), "FAIL\t%1\tpart\\.L not determined: a driver's curve, not a part's; "},
  };
  QStringList files;
  for (const auto& c : cases) files << WriteDriver(dir, c.name, c.model);
  const ToolRun run = Tool(QStringList{"qc", dir.Path("parts.kqc")} + files);
  EXPECT_EQ(run.status, 1) << run.err;
  const QStringList lines = Lines(run.out);
  ASSERT_GE(lines.size(), qsizetype(std::size(cases))) << run.out;
  for (qsizetype i = 0; i < qsizetype(std::size(cases)); ++i) {
    const QRegularExpression verdict("^" + QString::fromUtf8(cases[i].verdict).arg(QRegularExpression::escape(files[i])));
    EXPECT_TRUE(verdict.match(lines[i]).hasMatch()) << lines[i].toStdString();
  }
}

}  // namespace
}  // namespace kavo::test
