// kavo-tool's option parser and usage texts: see cli/CommandLine.h.
#include "cli/CommandLine.h"

#include <ostream>

#include "cli/KavoTool.h"
#include "cli/Texts.h"

namespace kavo::cli {
namespace {

const Option* Find(const Command& c, const QString& name) {
  for (const Option& o : c.options)
    if (name == QLatin1String(o.name)) return &o;
  return nullptr;
}

bool IsHelp(const QString& a) { return a == QLatin1String("--help") || a == QLatin1String("-h"); }

QString Synopsis(const Option& o) {
  QString s = QLatin1String(o.name);
  if (o.value) s += QLatin1Char(' ') + QLatin1String(o.value);
  if (!(o.flags & Required)) s = QLatin1Char('[') + s + QLatin1Char(']');
  if (o.flags & Repeatable) s += QStringLiteral("...");
  return s;
}

}  // namespace

bool CommandLine::Has(const char* name) const {
  for (const auto& [option, value] : given_)
    if (qstrcmp(option->name, name) == 0) return true;
  return false;
}

QString CommandLine::Value(const char* name, const QString& fallback) const {
  for (auto it = given_.rbegin(); it != given_.rend(); ++it)
    if (qstrcmp(it->first->name, name) == 0) return it->second;
  return fallback;
}

QStringList CommandLine::Values(const char* name) const {
  QStringList values;
  for (const auto& [option, value] : given_)
    if (qstrcmp(option->name, name) == 0) values << value;
  return values;
}

QString UsageLine(const Command& c) {
  QString line = QStringLiteral("usage: kavo-tool %1 %2").arg(QLatin1String(c.name), QLatin1String(c.operands));
  for (const Option& o : c.options) line += QLatin1Char(' ') + Synopsis(o);
  return line;
}

QString UsageText(const Command& c) {
  QString text = UsageLine(c) + QLatin1Char('\n') + ToolText::tr(c.summary) + QStringLiteral("\n\n") +
                 ToolText::tr("options:") + QLatin1Char('\n');
  QStringList left;
  for (const Option& o : c.options) left << (o.value ? QStringLiteral("%1 %2").arg(QLatin1String(o.name), QLatin1String(o.value))
                                                    : QLatin1String(o.name));
  const QString help = QStringLiteral("-h, --help");
  qsizetype width = help.size();
  for (const QString& l : left) width = std::max(width, l.size());
  for (size_t k = 0; k < c.options.size(); ++k)
    text += QStringLiteral("  ") + left[qsizetype(k)].leftJustified(width + 2) + ToolText::tr(c.options[k].help) +
            QLatin1Char('\n');
  text += QStringLiteral("  ") + help.leftJustified(width + 2) + ToolText::tr("this text") + QLatin1Char('\n');
  if (c.note) text += QLatin1Char('\n') + ToolText::tr(c.note) + QLatin1Char('\n');
  return text;
}

int UsageError(const Command& c, const QString& what, std::ostream& err) {
  Say(err, c.name, what);
  err << Std(UsageLine(c)) << '\n';
  return ExitUsage;
}

int ParseCommandLine(const Command& c, const QStringList& args, CommandLine& line, std::ostream& out,
                     std::ostream& err) {
  line = CommandLine();
  bool options = true;
  for (qsizetype i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    if (!options || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
      line.operands << a;
      continue;
    }
    if (a == QLatin1String("--")) {
      options = false;
      continue;
    }
    if (IsHelp(a)) {
      out << Std(UsageText(c));
      return ExitOk;
    }
    // --name=value: the value is glued on.
    const qsizetype eq = a.startsWith(QLatin1String("--")) ? a.indexOf(QLatin1Char('=')) : -1;
    const QString name = eq < 0 ? a : a.left(eq);
    const Option* o = Find(c, name);
    if (!o) return UsageError(c, ToolText::tr("unknown option %1").arg(name), err);
    if (!(o->flags & Repeatable) && line.Has(o->name))
      return UsageError(c, ToolText::tr("%1 is given more than once").arg(name), err);
    if (!o->value) {
      if (eq >= 0) return UsageError(c, ToolText::tr("%1 takes no value").arg(name), err);
      line.Add(o, QString());
    } else if (o->flags & TwoValues) {
      if (eq >= 0 || i + 2 >= args.size()) return UsageError(c, ToolText::tr("%1 needs two values").arg(name), err);
      line.Add(o, args[i + 1] + QLatin1Char(' ') + args[i + 2]);
      i += 2;
    } else if (eq >= 0) {
      line.Add(o, a.mid(eq + 1));
    } else if (i + 1 < args.size()) {
      line.Add(o, args[++i]);  // whatever follows, "-5" and "-" included
    } else {
      return UsageError(c, ToolText::tr("%1 needs a value").arg(name), err);
    }
  }
  if (line.operands.size() < c.minOperands) return UsageError(c, ToolText::tr("no file given"), err);
  if (line.operands.size() > c.maxOperands) return UsageError(c, ToolText::tr("one file only"), err);
  for (const Option& o : c.options)
    if ((o.flags & Required) && !line.Has(o.name))
      return UsageError(c, ToolText::tr("%1 %2 is required").arg(QLatin1String(o.name), QLatin1String(o.value)), err);
  return Proceed;
}

}  // namespace kavo::cli
