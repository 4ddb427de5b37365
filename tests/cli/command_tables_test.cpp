// The bash completion and the manual page list each command's options as
// its table does: an option added, renamed or dropped in one place only fails.
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

TEST(CommandTables, CompletionAndManualPageListTheTablesOptions) {
  const QString completion = Source("packaging/bash-completion/kavo-tool"), man = Source("packaging/man/kavo-tool.1");
  QStringList completed;
  for (auto m = QRegularExpression(QStringLiteral("\\[([a-z]+)\\]=\"([^\"]*)\"")).globalMatch(completion); m.hasNext();) {
    const QRegularExpressionMatch e = m.next();
    completed << e.captured(1);
    const cli::Command* c = cli::FindCommand(e.captured(1));
    QSet<QString> table;
    if (c)
      for (const cli::Option& o : c->options) table << QLatin1String(o.name);
    const QStringList offered = e.captured(2).split(' ', Qt::SkipEmptyParts);
    EXPECT_EQ(QSet<QString>(offered.begin(), offered.end()), table) << e.captured(1).toStdString();
  }
  for (const cli::Command* c : cli::Commands()) {
    EXPECT_TRUE(completed.contains(QLatin1String(c->name))) << c->name;
    // Its section of the manual page: from its .SS to the next heading.
    const qsizetype start = man.indexOf(QStringLiteral("\n.SS %1 ").arg(QLatin1String(c->name)));
    ASSERT_GE(start, 0) << c->name;
    const QString section = man.mid(start, man.indexOf(QRegularExpression(QStringLiteral("\n\\.S[SH] ")), start + 1) - start);
    for (const cli::Option& o : c->options) {
      const QString escaped = QString::fromLatin1(o.name).replace('-', QStringLiteral("\\-"));
      EXPECT_TRUE(section.contains(QRegularExpression(QRegularExpression::escape(escaped) + QStringLiteral("(?![a-z\\\\])"))))
          << c->name << " " << o.name << " missing from the manual page";
    }
  }
}

}  // namespace
}  // namespace kavo::test
