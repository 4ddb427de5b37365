// kavo-tool: see cli/Curves.h.
#include "cli/Curves.h"

#include <QFileInfo>
#include <ostream>

#include "cli/Files.h"
#include "cli/Texts.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"
#include "data/WholeFile.h"

namespace kavo::cli {

std::unique_ptr<Curve> LoadCurve(const QString& file, bool tables, int32_t band, const char* command,
                                 std::ostream& err) {
  auto c = std::make_unique<Curve>();
  InputFile input;
  QString why;
  if (!input.Open(file, why)) {
    SayFile(err, command, file, why);
    return nullptr;
  }
  const KAVO_File files;
  if (tables && IsTableFileName(file)) {
    if (!LoadTable(input.Path(), band, c->data, why)) {
      SayFile(err, command, file, why);
      return nullptr;
    }
  } else if (!files.ReadDataFile(input.Path(), &c->serial, nullptr, &c->data)) {
    SayFile(err, command, file, BadDataFileText());
    return nullptr;
  }
  if (!files.ConvertData(&c->data, &c->raw, &c->ave)) {
    SayFile(err, command, file, CalcDataErrorText());
    return nullptr;
  }
  c->data.valid = 1;
  return c;
}

bool SaveText(const QString& file, const std::string& text) { return WriteWhole(file, text); }

QString WithSuffix(const QString& name, const QString& suffix) {
  const QFileInfo info(name);
  const QString dir = name.left(name.size() - info.fileName().size());
  return dir + info.completeBaseName() + suffix;
}

}  // namespace kavo::cli
