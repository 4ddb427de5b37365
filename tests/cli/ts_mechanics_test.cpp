// kavo-tool ts with the added-mass and closed-box methods against the
// simulated driver: records of the free, loaded and boxed driver written as
// .DTA files, the tool's Mms, Vas and Bl compared with the model's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "TempDir.h"
#include "UnitModel.h"
#include "cli/KavoTool.h"
#include "Records.h"
#include "cli_fixture.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

namespace kavo::test {
namespace {

struct ToolResult {
  int status;
  std::string out, err;
  std::map<std::string, double> rows;  // label → value
};
ToolResult Ts(const QStringList& args) {
  std::ostringstream out, err;
  ToolResult r{cli::RunTool(QStringList{QStringLiteral("ts")} + args, out, err), out.str(), err.str(), {}};
  std::istringstream lines(r.out);
  for (std::string line; std::getline(lines, line);) {
    const size_t tab = line.rfind('\t');
    if (tab != std::string::npos) r.rows[line.substr(0, line.find('\t'))] = std::atof(line.c_str() + tab + 1);
  }
  return r;
}

QString Num(double v) { return QString::number(v, 'g', 8); }
double Rel(double got, double want) { return (got - want) / want; }

struct Case {
  const char* preset;
  double massFraction;  // added mass / Mms
  double boxFraction;   // box volume / Vas
};

// Mms, Vas and Bl within 3 % by both methods for the presets whose
// resonance lies in the band's grid with room below it.
TEST(TsMechanics, RecoversTheModelByBothMethods) {
  const Case cases[] = {{"woofer65", 1.0, 1.0}, {"sub10", 0.25, 1.0}, {"fullrange", 1.0, 1.0}};
  TempDir dir;
  std::printf("%-10s %-6s %9s %9s %7s %9s %9s %7s %7s %7s %6s\n", "preset", "method", "Mms g", "model", "dev%",
              "Vas L", "model", "dev%", "Bl", "model", "dev%");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.preset);
    kavsim::DriverModel model;
    ASSERT_TRUE(kavsim::FindPreset(c.preset, model));
    const kavsim::Mechanics m = kavsim::MechanicsOf(model);
    const double mass = c.massFraction * m.Mms, box = c.boxFraction * m.Vas;
    const QString name = QString::fromLatin1(c.preset);
    const QString free = WriteDriver(dir, name + QStringLiteral(".DTA"), model);
    const QString loaded = WriteDriver(dir, name + QStringLiteral("_m.DTA"), kavsim::Loaded(model, mass, 0));
    const QString boxed = WriteDriver(dir, name + QStringLiteral("_b.DTA"), kavsim::Loaded(model, 0, box));
    const QStringList common = {free, QStringLiteral("--re"), Num(model.Re), QStringLiteral("--sd"),
                                Num(model.Sd * 1e4), QStringLiteral("--raw")};
    const ToolResult runs[2] = {
        Ts(common + QStringList{QStringLiteral("--added-mass"), Num(mass * 1e3), QStringLiteral("--loaded"), loaded}),
        Ts(common + QStringList{QStringLiteral("--box-litres"), Num(box * 1e3), QStringLiteral("--boxed"), boxed})};
    for (int k = 0; k < 2; ++k) {
      const ToolResult& r = runs[k];
      ASSERT_EQ(r.status, cli::ExitOk) << r.err;
      const double mms = r.rows.at("Mms [ g ]") * 1e-3, vas = r.rows.at("Vas [ L ]") * 1e-3,
                   bl = r.rows.at("Bl [ T·m ]");
      std::printf("%-10s %-6s %9.3f %9.3f %+7.2f %9.3f %9.3f %+7.2f %7.3f %7.3f %+6.2f\n", c.preset,
                  k ? "box" : "mass", mms * 1e3, m.Mms * 1e3, 100 * Rel(mms, m.Mms), vas * 1e3, m.Vas * 1e3,
                  100 * Rel(vas, m.Vas), bl, m.Bl, 100 * Rel(bl, m.Bl));
      EXPECT_NEAR(Rel(mms, m.Mms), 0, 0.03);
      EXPECT_NEAR(Rel(vas, m.Vas), 0, 0.03);
      EXPECT_NEAR(Rel(bl, m.Bl), 0, 0.03);
      EXPECT_NEAR(Rel(r.rows.at("EBP [ Hz ]"), model.Fs / model.Qes), 0, 0.03);
    }
  }
}

}  // namespace
}  // namespace kavo::test

namespace kavo::test {
namespace {

// Combinations that cannot give a result: refused with a message naming the
// fault, exit 1, and no mechanical row printed.
TEST(TsMechanics, RefusesBadCombinations) {
  TempDir dir;
  kavsim::DriverModel model;
  ASSERT_TRUE(kavsim::FindPreset("woofer65", model));
  const kavsim::Mechanics m = kavsim::MechanicsOf(model);
  const QString free = WriteDriver(dir, QStringLiteral("free.DTA"), model);
  const QString loaded = WriteDriver(dir, QStringLiteral("loaded.DTA"), kavsim::Loaded(model, m.Mms, 0));
  const QString boxed = WriteDriver(dir, QStringLiteral("boxed.DTA"), kavsim::Loaded(model, 0, m.Vas));
  const QString re = QStringLiteral("5.6"), sd = QStringLiteral("132");
  struct Bad {
    QStringList args;
    const char* message;
  };
  const Bad cases[] = {
      {{free, "--re", re, "--added-mass", "16", "--loaded", loaded}, "--sd"},
      {{free, "--sd", sd, "--added-mass", "16", "--loaded", loaded}, "--re"},
      {{free, "--re", re, "--sd", sd}, "--added-mass"},
      {{free, "--re", re, "--sd", sd, "--added-mass", "16"}, "--loaded"},
      {{free, "--re", re, "--sd", sd, "--box-litres", "22", "--boxed", boxed, "--added-mass", "16"}, "not both"},
      {{free, "--re", re, "--sd", sd, "--added-mass", "-16", "--loaded", loaded}, "above 0"},
      {{free, "--re", re, "--sd", "-132", "--added-mass", "16", "--loaded", loaded}, "above 0"},
      {{free, "--re", re, "--sd", sd, "--box-litres", "0", "--boxed", boxed}, "above 0"},
      {{free, "--re", re, "--sd", sd, "--added-mass", "abc", "--loaded", loaded}, "abc"},
      // The "loaded" file is the boxed driver and the other way round.
      {{free, "--re", re, "--sd", sd, "--added-mass", "16", "--loaded", boxed}, "not below"},
      {{free, "--re", re, "--sd", sd, "--box-litres", "22", "--boxed", loaded}, "not above"},
      {{free, "--re", re, "--sd", sd, "--added-mass", "16", "--loaded", free}, "not below"},
  };
  for (const Bad& c : cases) {
    SCOPED_TRACE(c.args.join(' ').toStdString());
    const ToolResult r = Ts(c.args);
    EXPECT_EQ(r.status, cli::ExitFailed);
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.rows.count("Mms [ g ]"), 0u);
  }
}

}  // namespace
}  // namespace kavo::test
