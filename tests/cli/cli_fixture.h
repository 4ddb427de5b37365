// Helpers of the kavo-tool tests: running a command in-process, and a
// simulated driver's full-band measurement as a .DTA file.
#pragma once

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "Records.h"
#include "TempDir.h"
#include "cli/KavoTool.h"
#include "data/Kavo_file.h"

namespace kavo::test {

struct ToolRun {
  int status;
  std::string out, err;
};

inline ToolRun Tool(const QStringList& args) {
  std::ostringstream out, err;
  const int status = cli::RunTool(args, out, err);
  return {status, out.str(), err.str()};
}

// What a noiseless unit sends for `model` on the full band, as a .DTA file.
inline QString WriteDriver(const TempDir& dir, const QString& name, const kavsim::DriverModel& model) {
  MeasureData data;
  EXPECT_TRUE(FillFromUnit(data, model));
  SettingsRecord settings;
  const QString path = dir.Path(name);
  EXPECT_TRUE(KAVO_File().WriteDataFile(path, "0815", &settings, &data));
  return path;
}

}  // namespace kavo::test
