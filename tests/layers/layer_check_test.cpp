// Every #include "folder/..." and every Qt header in src/ against the layer
// table of docs/ARCHITECTURE.md, read from the document itself so that the
// two cannot drift apart. A violation is reported as file:line.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTextStream>
#include <map>
#include <set>

namespace {

struct Layer {
  std::set<QString> mayInclude;  // folders other than itself
  std::set<QString> qtModules;   // "Core", "Widgets", ...
};

QString SourceDir() { return qEnvironmentVariable("KAVO_TEST_SOURCE_DIR", QStringLiteral(".")); }

// The rows of the table under "## Layers": | `folder/` | library | may include | Qt modules | ... |
std::map<QString, Layer> ReadLayerTable(const QString& path) {
  std::map<QString, Layer> table;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return table;
  QTextStream in(&file);
  bool inSection = false;
  static const QRegularExpression code(QStringLiteral("`([^`]+)`"));
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.startsWith(QLatin1String("## "))) inSection = line == QLatin1String("## Layers");
    if (!inSection || !line.startsWith(QLatin1String("| `"))) continue;
    const QStringList cells = line.split(QLatin1Char('|'));
    if (cells.size() < 6) continue;
    const QString folder = code.match(cells[1]).captured(1).chopped(1);
    Layer& layer = table[folder];
    for (auto it = code.globalMatch(cells[3]); it.hasNext();) {
      QString target = it.next().captured(1);
      if (target.endsWith(QLatin1Char('/'))) target.chop(1);
      layer.mayInclude.insert(target);
    }
    for (const QString& module : cells[4].split(QLatin1Char(' '), Qt::SkipEmptyParts))
      layer.qtModules.insert(module);
  }
  return table;
}

// The deepest folder of the table that holds `path` ("graph/dialogs/X.h" → "graph/dialogs").
QString FolderOf(const std::map<QString, Layer>& table, const QString& path) {
  QString best;
  for (const auto& [folder, layer] : table)
    if (path.startsWith(folder + QLatin1Char('/')) && folder.size() > best.size()) best = folder;
  return best;
}

// The Qt module that ships header `name` ("QWidget" → "Widgets"), empty when none does.
QString ModuleOf(const QString& name) {
  static std::map<QString, QString> known;
  const auto it = known.find(name);
  if (it != known.end()) return it->second;
  QString module;
  const QDir headers(QLibraryInfo::path(QLibraryInfo::HeadersPath));
  for (const QString& dir : headers.entryList({QStringLiteral("Qt*")}, QDir::Dirs)) {
    if (QFileInfo::exists(headers.filePath(dir + QLatin1Char('/') + name))) {
      module = dir.mid(2);
      break;
    }
  }
  return known[name] = module;
}

TEST(Layers, EveryIncludeFollowsTheLayerTable) {
  const QString root = SourceDir();
  const auto table = ReadLayerTable(root + QStringLiteral("/docs/ARCHITECTURE.md"));
  ASSERT_GE(table.size(), 10u) << "no layer table under \"## Layers\" in docs/ARCHITECTURE.md";
  for (const auto& [folder, layer] : table) {
    EXPECT_TRUE(QFileInfo(root + QStringLiteral("/src/") + folder).isDir()) << "table row for a missing folder: " << folder.toStdString();
    for (const QString& target : layer.mayInclude)
      EXPECT_TRUE(table.count(target)) << folder.toStdString() << " may include " << target.toStdString() << ", which has no row";
  }

  static const QRegularExpression project(QStringLiteral("^\\s*#\\s*include\\s+\"([^\"]+/[^\"]+)\""));
  static const QRegularExpression qt(QStringLiteral("^\\s*#\\s*include\\s+<(?:Qt(\\w+)/)?(Q\\w+)>"));
  int files = 0, includes = 0;
  QDirIterator it(root + QStringLiteral("/src"), {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString relative = QDir(root + QStringLiteral("/src")).relativeFilePath(path);
    const QString mine = FolderOf(table, relative);
    ++files;
    if (mine.isEmpty()) {
      ADD_FAILURE() << "src/" << relative.toStdString() << ": its folder has no row in the layer table";
      continue;
    }
    const Layer& layer = table.at(mine);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text)) << path.toStdString();
    QTextStream in(&file);
    for (int number = 1; !in.atEnd(); ++number) {
      const QString line = in.readLine();
      const QString where = QStringLiteral("src/%1:%2: ").arg(relative).arg(number);
      if (const auto m = project.match(line); m.hasMatch()) {
        ++includes;
        const QString target = FolderOf(table, m.captured(1));
        if (target != mine && !layer.mayInclude.count(target))
          ADD_FAILURE() << where.toStdString() << mine.toStdString() << "/ may not include \"" << m.captured(1).toStdString()
                        << "\"";
      } else if (const auto q = qt.match(line); q.hasMatch()) {
        const QString module = q.captured(1).isEmpty() ? ModuleOf(q.captured(2)) : q.captured(1);
        if (!module.isEmpty() && !layer.qtModules.count(module))
          ADD_FAILURE() << where.toStdString() << mine.toStdString() << "/ uses Qt " << module.toStdString() << " (<"
                        << q.captured(2).toStdString() << ">), not in its row";
      }
    }
  }
  // The walk saw the program, not an empty folder.
  EXPECT_GT(files, 100);
  EXPECT_GT(includes, 300);
}

}  // namespace
