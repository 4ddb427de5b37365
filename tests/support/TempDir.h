// A scratch directory removed with everything in it when the test ends.
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace kavo::test {

class TempDir {
 public:
  QString Path(const QString& name) const { return dir_.filePath(name); }
  std::string StdPath(const char* name) const { return Path(QString::fromUtf8(name)).toStdString(); }
  QString Root() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

QByteArray ReadAll(const QString& path);
bool WriteAll(const QString& path, const QByteArray& bytes);

}  // namespace kavo::test
