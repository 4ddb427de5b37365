#include "cli/KavoTool.h"

#include <memory>
#include <ostream>

namespace kavo::cli {
namespace {

const Command commands[] = {
    {"ts", "FILE.DTA [--re OHMS] [--raw] [--sd CM2 (--added-mass G --loaded FILE2 | --box-litres L --boxed FILE2)]",
     "resonance peaks, with --re the Thiele-Small parameters, with --sd the mechanical ones", RunTs},
    {"fit",
     "FREE.DTA (--re OHMS | --fit-re) [--model le|lr2|semi] [--creep|--no-creep] [--fmin HZ] [--fmax HZ] [--sd CM2]"
     " [--added-mass G --loaded FILE] [--box-litres L --boxed FILE] [--json] [--wdr OUT.wdr --brand TEXT --model-name TEXT]",
     "the driver's model fitted to the curve(s), every value with its ±1σ", RunFit},
    {"export", "FILE.DTA [--format zma|csv|txt] [--raw] [-o OUT]", "the curve as a ZMA, CSV or text table", RunExport},
    {"import", "TABLE -o OUT.DTA [--band N]", "a ZMA or text table from another program as a .DTA file", RunImport},
    {"plot", "FILE.DTA [--ref FILE]... [--r-only] [--wide] [--raw] [--size WxH] -o OUT.png|svg|pdf",
     "the graph as a picture", RunPlot},
    {"print", "FILE.DTA [--ref FILE]... [--info TEXT]... [--landscape] [--dpi N] -o PAGE.pdf",
     "the printed page of the graph as a PDF", RunPrint},
};

void Usage(std::ostream& to) {
  to << "usage: kavo-tool COMMAND [ARGUMENTS...]\n\ncommands:\n";
  for (const Command& c : commands) to << "  " << c.name << ' ' << c.usage << "\n      " << c.summary << '\n';
}

}  // namespace

const Command* Commands(int& count) {
  count = int(std::size(commands));
  return commands;
}

bool NeedsWidgets(const QString& name) {
  return name == QLatin1String("print") || name == QLatin1String("plot");
}

int RunTool(const QStringList& args, std::ostream& out, std::ostream& err) {
  if (args.isEmpty()) {
    Usage(err);
    return ExitUsage;
  }
  const QString name = args.front();
  if (name == QLatin1String("help") || name == QLatin1String("--help") || name == QLatin1String("-h")) {
    Usage(out);
    return ExitOk;
  }
  for (const Command& c : commands)
    if (name == QLatin1String(c.name)) return c.run(args.mid(1), out, err);
  err << "kavo-tool: unknown command '" << name.toStdString() << "'\n";
  Usage(err);
  return ExitUsage;
}

}  // namespace kavo::cli
