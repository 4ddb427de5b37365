// kavo-tool ts, mechanical parameters: the options that ask for them and the
// rows they add below the ten of the parameter table.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <string>

#include "analysis/Curves.h"
#include "analysis/Ts_analysis.h"
#include "cli/CommandLine.h"
#include "data/Kavo_data.h"

namespace kavo::cli {

// Reads, converts and searches `file` as the analysis window does;
// ExitOk, or the exit status after the message ("kavo-tool ts: FILE: why")
// has gone to `err`. "-" is standard input.
int LoadTsSession(const QString& file, TsSession& s, std::ostream& err);

struct MechanicsOptions {
  bool any = false;
  QString sd, mass, loaded, box, boxed, rho, c;
};
// The values of --sd, --added-mass, --loaded, --box-litres, --boxed, --rho
// and --c; `any` when one of them is given.
MechanicsOptions TakeMechanicsOptions(const CommandLine& line);
// Checks the combination before any file is read; ExitOk or ExitFailed
// after the message.
int CheckMechanicsOptions(const MechanicsOptions& options, bool haveRe, std::ostream& err);
// The rows, from the free driver's analysis and its parameter table.
int PrintMechanics(const MechanicsOptions& options, const TsAnalysis& free, const TSResult& table, bool raw,
                   std::ostream& out, std::ostream& err);

}  // namespace kavo::cli
