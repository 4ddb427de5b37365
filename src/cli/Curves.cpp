// kavo-tool: see cli/Curves.h.
#include "cli/Curves.h"

#include <QApplication>
#include <QFileInfo>
#include <ostream>
#include <vector>

#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/WholeFile.h"

namespace kavo::cli {

std::unique_ptr<CurveSet> LoadCurve(const QString& file, int32_t band, const char* command, std::ostream& err) {
  InputFile input;
  QString why;
  if (!input.Open(file, why)) {
    SayFile(err, command, file, why);
    return nullptr;
  }
  auto c = std::make_unique<CurveSet>();
  CurveRead how;
  how.tableBand = band;
  if (const LoadFailure failure = ReadCurveSet(input.Path(), how, *c, why); failure != LoadFailure::None) {
    SayFile(err, command, file, LoadFailureText(failure, why));
    return nullptr;
  }
  return c;
}

int LoadSetsToDraw(const QString& file, const QStringList& refs, DataSets& sets, const char* command,
                   std::ostream& err) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    Say(err, command, ToolText::tr("drawing needs the widget application"));
    return ExitFailed;
  }
  // Every name is checked (standard input copied) before anything is read.
  std::vector<InputFile> inputs(size_t(refs.size()) + 1);
  const QStringList names = QStringList{file} + refs;
  QStringList paths;
  QString why;
  for (qsizetype k = 0; k < names.size(); ++k) {
    if (!inputs[size_t(k)].Open(names[k], why)) {
      SayFile(err, command, names[k], why);
      return ExitUnreadable;
    }
    paths << inputs[size_t(k)].Path();
  }
  CurveRead how;
  if (const LoadFailure failure = sets.OpenMain(paths.front(), how); failure != LoadFailure::None) {
    SayFile(err, command, file, LoadFailureText(failure, QString()));
    return ExitUnreadable;
  }
  int status = ExitOk;
  const int first = sets.refCount;
  sets.LoadRefs(paths.mid(1), sets.mainData.band, [&](const RefFailure& f) {
    SayFile(err, command, refs[f.position - first], LoadFailureText(f.kind, f.why));
    status = ExitUnreadable;
  });
  return status;
}

bool SaveText(const QString& file, const std::string& text) { return WriteWhole(file, text); }

QString WithSuffix(const QString& name, const QString& suffix) {
  const QFileInfo info(name);
  const QString dir = name.left(name.size() - info.fileName().size());
  return dir + info.completeBaseName() + suffix;
}

}  // namespace kavo::cli
