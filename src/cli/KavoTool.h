// kavo-tool: KAVO's work without windows, for scripts and batches.
//
//   kavo-tool COMMAND [ARGUMENTS...]
//   kavo-tool COMMAND --help | kavo-tool help COMMAND | kavo-tool --version
//
// Each command is one entry of a table (cli/CommandLine.h: name, operands,
// options, handler). A handler writes its results to `out` and its
// messages to `err` and returns the exit status: 0 done, 1 a failure the
// window would report (the same message), 2 a file that cannot be read,
// 64 a command line that is wrong.
#pragma once

#include <QStringList>
#include <iosfwd>
#include <span>

#include "cli/CommandLine.h"

namespace kavo::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUnreadable = 2;
constexpr int ExitUsage = 64;

// The commands, each defined beside its handler.
extern const Command TsCommand;      // ts FILE.DTA [--re OHMS] [--raw] [--sd CM2 ...]
extern const Command ExportCommand;  // export FILE.DTA [--format zma|csv|txt] [--raw] [-o OUT]
extern const Command ImportCommand;  // import TABLE -o OUT.DTA [--band N]
extern const Command PlotCommand;    // plot FILE.DTA [--ref FILE]... -o OUT.png|svg|pdf
extern const Command PrintCommand;   // print FILE.DTA [--ref FILE]... -o PAGE.pdf
extern const Command FitCommand;     // fit FREE.DTA (--re OHMS | --fit-re) [--model ...] ...
extern const Command QcCommand;      // qc RULES.kqc FILE... [--csv OUT] [--json] [--plot OUT]
extern const Command MatchCommand;   // match FILE... [--pairs N] [--re OHMS]
extern const Command PartCommand;    // part FILE [--kind ...] [--at HZ]... [--json]
extern const Command CompensateCommand;  // compensate FILE (--re OHMS | --driver FILE.wdr) [--zobel] [--notch] ...

// The commands in the order the help lists them.
std::span<const Command* const> Commands();
// The command called `name`, or null.
const Command* FindCommand(const QString& name);

// "kavo-tool 2.1": the name and the project's version.
QString VersionText();
// The overview that `kavo-tool --help` prints.
QString OverviewText();

// Runs `args` (without the program name). The status is ExitFailed, after
// a message, when `out` does not take everything written to it.
int RunTool(const QStringList& args, std::ostream& out, std::ostream& err);

int RunTs(const QStringList& args, std::ostream& out, std::ostream& err);
int RunFit(const QStringList& args, std::ostream& out, std::ostream& err);
int RunQc(const QStringList& args, std::ostream& out, std::ostream& err);
int RunCompensate(const QStringList& args, std::ostream& out, std::ostream& err);
int RunPart(const QStringList& args, std::ostream& out, std::ostream& err);
int RunMatch(const QStringList& args, std::ostream& out, std::ostream& err);
int RunExport(const QStringList& args, std::ostream& out, std::ostream& err);
int RunImport(const QStringList& args, std::ostream& out, std::ostream& err);
int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err);
int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err);
// Whether `args` (without the program name) run a command that draws
// (Command::needsWidgets) with a command line it accepts, and so need the
// widget application. Its help and usage errors need none.
bool NeedsWidgets(const QStringList& args);

}  // namespace kavo::cli
