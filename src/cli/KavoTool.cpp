#include "cli/KavoTool.h"

#include <cerrno>
#include <sstream>

#include "cli/Files.h"
#include "cli/Texts.h"
#include "data/WholeFile.h"

#ifndef KAVO_VERSION
#error "KAVO_VERSION comes from the build (the project's version)"
#endif

namespace kavo::cli {
namespace {

const Command* const commands[] = {&TsCommand, &FitCommand, &PartCommand, &CompensateCommand, &QcCommand, &MatchCommand, &ExportCommand, &ImportCommand, &PlotCommand, &PrintCommand};

constexpr const char* OverviewUsage = "usage: kavo-tool COMMAND [ARGUMENTS...]";

// Everything but the handler's own output: the overview, a command's usage, the version.
int Show(const QString& text, std::ostream& to, int status) {
  to << Std(text);
  return status;
}

}  // namespace

std::span<const Command* const> Commands() { return commands; }

const Command* FindCommand(const QString& name) {
  for (const Command* c : commands)
    if (name == QLatin1String(c->name)) return c;
  return nullptr;
}

QString VersionText() { return QStringLiteral("kavo-tool " KAVO_VERSION "\n"); }

QString OverviewText() {
  QString text = QLatin1String(OverviewUsage) + QLatin1Char('\n') +
                 QStringLiteral("       kavo-tool COMMAND --help | kavo-tool help COMMAND | kavo-tool --version\n\n") +
                 ToolText::tr("commands:") + QLatin1Char('\n');
  for (const Command* c : commands)
    text += QStringLiteral("  %1  %2\n").arg(QString::fromLatin1(c->name).leftJustified(8), ToolText::tr(c->summary));
  text += QLatin1Char('\n') +
          ToolText::tr("A file named - is standard input where a file is read and standard output where one is "
                       "written.\nExit status: 0 done, 1 failed, 2 a file that cannot be read, 64 a wrong command "
                       "line.") +
          QLatin1Char('\n');
  return text;
}

bool NeedsWidgets(const QStringList& args) {
  const Command* c = FindCommand(args.value(0));
  if (!c || !c->needsWidgets) return false;
  // Its help and a wrong command line are answered by the parser alone.
  std::ostringstream out, err;
  CommandLine line;
  return ParseCommandLine(*c, args.mid(1), line, out, err) == Proceed;
}

int RunTool(const QStringList& args, std::ostream& out, std::ostream& err) {
  InputFile::ResetStandardInput();
  const QString name = args.value(0);
  int status = ExitOk;
  if (args.isEmpty()) {
    status = Show(OverviewText(), err, ExitUsage);
  } else if (name == QLatin1String("--version")) {
    status = Show(VersionText(), out, ExitOk);
  } else if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
             (name == QLatin1String("help") &&
              (args.size() == 1 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")))) {
    status = Show(OverviewText(), out, ExitOk);
  } else if (name == QLatin1String("help")) {
    const Command* c = FindCommand(args[1]);
    if (c) status = Show(UsageText(*c), out, ExitOk);
    else {
      Say(err, nullptr, ToolText::tr("unknown command '%1'").arg(args[1]));
      status = Show(OverviewText(), err, ExitUsage);
    }
  } else if (const Command* c = FindCommand(name)) {
    status = c->run(args.mid(1), out, err);
  } else {
    Say(err, nullptr, ToolText::tr("unknown command '%1'").arg(name));
    status = Show(OverviewText(), err, ExitUsage);
  }
  // A full disk or a closed pipe behind standard output is a failure too
  // (said here unless the command has failed and said so already).
  EndOnClosedPipe(out);
  errno = 0;
  out.flush();
  if (!out && status == ExitOk) {
    SetWriteError(errno);
    const Command* c = FindCommand(name);
    SayFile(err, c ? c->name : nullptr, QStringLiteral("-"), CannotBeWrittenText(), true);
    status = ExitFailed;
  }
  return status;
}

}  // namespace kavo::cli
