// The bash completion and the manual page list every command's options as
// kavo-tool's command tables do: a new or renamed option in the table that
// they miss (or one they still offer after it went) fails here.
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

#include "cli/KavoTool.h"

namespace kavo::test {
namespace {

QString Source(const char* path) {
  QFile file(qEnvironmentVariable("KAVO_TEST_SOURCE_DIR") + QLatin1Char('/') + QLatin1String(path));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return QString::fromUtf8(file.readAll());
}

QSet<QString> TableOptions(const cli::Command& c) {
  QSet<QString> names;
  for (const cli::Option& o : c.options) names << QLatin1String(o.name);
  return names;
}

TEST(CommandTables, CompletionAndManualPageListTheTablesOptions) {
  const QString completion = Source("packaging/bash-completion/kavo-tool");
  const QString man = Source("packaging/man/kavo-tool.1");
  QSet<QString> completed;
  const QRegularExpression entry(QStringLiteral("\\[([a-z]+)\\]=\"([^\"]*)\""));
  for (auto m = entry.globalMatch(completion); m.hasNext();) {
    const QRegularExpressionMatch e = m.next();
    completed << e.captured(1);
    const cli::Command* c = cli::FindCommand(e.captured(1));
    if (!c) {
      EXPECT_EQ(e.captured(1), QStringLiteral("help")) << "no such command";
      continue;
    }
    SCOPED_TRACE(c->name);
    const QStringList offered = e.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    EXPECT_EQ(QSet<QString>(offered.begin(), offered.end()), TableOptions(*c));
  }
  for (const cli::Command* c : cli::Commands()) {
    SCOPED_TRACE(c->name);
    EXPECT_TRUE(completed.contains(QLatin1String(c->name))) << "not completed";
    // The command's section of the manual page: from its .SS to the next heading.
    const QString heading = QStringLiteral("\n.SS %1 ").arg(QLatin1String(c->name));
    const qsizetype start = man.indexOf(heading);
    ASSERT_GE(start, 0) << "no section";
    const qsizetype end = man.indexOf(QRegularExpression(QStringLiteral("\n\\.S[SH] ")), start + 1);
    const QString section = man.mid(start, end - start);
    for (const QString& option : TableOptions(*c)) {
      const QString escaped = QString(option).replace(QLatin1Char('-'), QStringLiteral("\\-"));
      EXPECT_TRUE(QRegularExpression(QRegularExpression::escape(escaped) + QStringLiteral("(?![a-z\\\\])"))
                      .match(section)
                      .hasMatch())
          << option.toStdString() << " missing from the manual page";
    }
  }
}

}  // namespace
}  // namespace kavo::test
