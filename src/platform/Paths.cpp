#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo {

static QString WithSlash(QString dir) {
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

QString ExecutableDir() {
  QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
  if (dir.isEmpty()) dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
  return WithSlash(dir);
}

QString SettingsDir() {
  const QByteArray overridden = qgetenv("KAVO_SETTINGS_DIR");
  if (!overridden.isEmpty()) return WithSlash(QString::fromLocal8Bit(overridden));
  return SettingsDirFor(ExecutableDir(), false);
}

bool MakeSettingsDir() { return QDir().mkpath(SettingsDir()); }

QString SettingsDirFor(const QString& exeDir, bool create) {
  const QString exe = WithSlash(exeDir);
  const bool system = exe.startsWith(QStringLiteral("/usr/")) || exe.startsWith(QStringLiteral("/bin/")) ||
                      exe.startsWith(QStringLiteral("/sbin/"));
  if (!system && access(QFile::encodeName(exe).constData(), W_OK) == 0) return exe;
  // A relative XDG_CONFIG_HOME is not valid and is ignored, as the XDG rules say.
  QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
  if (!QDir::isAbsolutePath(config)) config = QDir::homePath() + QStringLiteral("/.config");
  const QString dir = WithSlash(config) + QStringLiteral("kavo/");
  if (create) QDir().mkpath(dir);
  return dir;
}

QString SettingsPath(const QString& name) { return SettingsDir() + name; }

namespace {

// The canonical path of `name`, also for a file not yet there (its folder's).
QString Canonical(const QString& name) {
  const QFileInfo info(name);
  if (info.exists()) return info.canonicalFilePath();
  const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
  return dir.isEmpty() ? info.absoluteFilePath() : QDir(dir).filePath(info.fileName());
}

}  // namespace

bool SameFile(const QString& a, const QString& b) {
  if (Canonical(a) == Canonical(b)) return true;
  struct stat sa {}, sb {};
  return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace kavo
