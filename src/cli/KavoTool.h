// kavo-tool: KAVO's work without windows, for scripts and batches.
//
//   kavo-tool COMMAND [ARGUMENTS...]
//
// Each command is one entry of a table (name, usage line, handler). A
// handler writes its results to `out` and its messages to `err` and returns
// the exit status: 0 done, 1 a failure the window would report (the same
// message), 2 a file that cannot be read, 64 a command line that is wrong.
#pragma once

#include <QStringList>
#include <iosfwd>

namespace kavo::cli {

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUnreadable = 2;
constexpr int ExitUsage = 64;

struct Command {
  const char* name;
  const char* usage;    // arguments after the name
  const char* summary;  // one line
  int (*run)(const QStringList& args, std::ostream& out, std::ostream& err);
};

// The commands, in the order the help lists them.
const Command* Commands(int& count);

// Runs `args` (without the program name).
int RunTool(const QStringList& args, std::ostream& out, std::ostream& err);

// `ts FILE.DTA [--re OHMS] [--raw]`
int RunTs(const QStringList& args, std::ostream& out, std::ostream& err);

// `fit FREE.DTA ...`: the model fit (analysis/ModelFit).
int RunFit(const QStringList& args, std::ostream& out, std::ostream& err);

// `export`, `import`, `plot`: curves to and from other programs, pictures.
int RunExport(const QStringList& args, std::ostream& out, std::ostream& err);
int RunImport(const QStringList& args, std::ostream& out, std::ostream& err);
int RunPlot(const QStringList& args, std::ostream& out, std::ostream& err);
// `print FILE.DTA [--ref FILE]... [--info TEXT]... [--landscape] [--dpi N] -o PAGE.pdf`
// (needs a QApplication: see NeedsWidgets)
int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err);
// Whether the command `name` draws with widgets and so needs a QApplication.
bool NeedsWidgets(const QString& name);

}  // namespace kavo::cli
