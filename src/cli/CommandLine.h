// kavo-tool's command lines. Every command declares its options in one
// table; one parser reads every command's arguments and one writer makes
// every usage text from the same table, so help and errors always agree.
//
// The rules, the same for every command:
//   --opt VALUE and --opt=VALUE;  -o VALUE (a one-letter option takes the
//   next argument);  a flag takes no value;  an option given twice is an
//   error unless its table entry says Repeatable;  "--" ends the options;
//   "-" alone is an operand (standard input or output);  -h and --help
//   print the usage and end with status 0.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>
#include <span>
#include <utility>
#include <vector>

namespace kavo::cli {

enum OptionFlags : unsigned {
  Repeatable = 1,  // may be given more than once; Values() lists them in order
  Required = 2,    // must be given
  TwoValues = 4,   // takes the next two arguments ("--band F1 F2"); Value() holds them space-separated
};

struct Option {
  const char* name;   // "--re", "-o"
  const char* value;  // the value's name in the usage ("OHMS"); nullptr for a flag
  const char* help;   // one line, English source text (translated when printed)
  unsigned flags = 0;
};

using Handler = int (*)(const QStringList& args, std::ostream& out, std::ostream& err);

// One command of kavo-tool: its name, its operands, its options and its handler.
struct Command {
  const char* name;
  const char* operands;  // as the usage shows them: "FILE.DTA"
  const char* summary;   // one line, English source text
  std::span<const Option> options;
  Handler run;
  int minOperands = 1, maxOperands = 1;
  const char* note = nullptr;  // more lines below the options (which go together), or null
  // Draws with widgets: runs in the widget application on the offscreen
  // platform, made only once its command line has been read.
  bool needsWidgets = false;
};

// What the parser found: the operands in order and each option given.
class CommandLine {
 public:
  QStringList operands;

  bool Has(const char* name) const;
  // The value given last, or `fallback` when the option is not given.
  QString Value(const char* name, const QString& fallback = {}) const;
  // Every value given, in order.
  QStringList Values(const char* name) const;

  void Add(const Option* option, const QString& value) { given_.emplace_back(option, value); }

 private:
  std::vector<std::pair<const Option*, QString>> given_;
};

// A parse that lets the command go on (no exit status yet).
constexpr int Proceed = -1;

// Parses `args` (after the command's name) by the command's table into
// `line`. Proceed, or the exit status after the usage went to `out` (--help,
// ExitOk) or the reason and the usage line to `err` (ExitUsage).
int ParseCommandLine(const Command& command, const QStringList& args, CommandLine& line, std::ostream& out,
                     std::ostream& err);

// "usage: kavo-tool NAME OPERANDS [--opt VALUE]..." in one line.
QString UsageLine(const Command& command);
// The usage line, the summary, one line per option and the note.
QString UsageText(const Command& command);

// Writes "kavo-tool NAME: what" and the usage line to `err`; ExitUsage.
int UsageError(const Command& command, const QString& what, std::ostream& err);

}  // namespace kavo::cli
