#include "platform/ComPorts.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo {
namespace {

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

// The chip type the kernel reports for a ttyS node; 0 means no chip. A tty
// the kernel does not list (or a name that is no ttyS) gives -1.
int UartType(const QString& ttyName, const QString& sysTtyRoot) {
  QFile type(sysTtyRoot + '/' + ttyName + QStringLiteral("/type"));
  if (!type.open(QIODevice::ReadOnly)) return -1;
  bool ok = false;
  const int value = type.readAll().trimmed().toInt(&ok);
  return ok ? value : -1;
}

// Orders names by their text, then by the number they end in: ttyS2 before
// ttyS10 (a collator's numeric mode needs ICU, which may be missing).
void SortNaturally(QStringList& names) {
  auto split = [](const QString& name) {
    qsizetype digits = name.size();
    while (digits > 0 && name[digits - 1].isDigit()) --digits;
    return std::make_pair(name.left(digits), name.mid(digits).toULongLong());
  };
  std::stable_sort(names.begin(), names.end(),
                   [&](const QString& a, const QString& b) { return split(a) < split(b); });
}

const QRegularExpression& TtySName() {
  static const QRegularExpression re(QStringLiteral("^ttyS[0-9]+$"));
  return re;
}

}  // namespace

QString ComPortLinkPath(int n) { return SettingsDir() + QStringLiteral("ports/COM%1").arg(n); }

QString ComPortPath(int n) {
  if (n < 1) return QString();
  const QByteArray env = qgetenv(QStringLiteral("KAVO_COM%1").arg(n).toLatin1().constData());
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  const QString entry = ComPortLinkPath(n);
  const QFileInfo info(entry);
  if (info.isSymLink() || info.exists()) return entry;
  return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

ComPortTarget::State DeviceState(const QString& path, const QString& sysTtyRoot) {
  using State = ComPortTarget::State;
  const QByteArray native = Native(path);
  struct stat st {};
  if (native.isEmpty() || ::stat(native.constData(), &st) != 0) return State::Missing;
  if (!S_ISCHR(st.st_mode)) return State::NotSerial;
  if (::access(native.constData(), R_OK | W_OK) != 0) return State::NoAccess;
  // A ttyS node exists for every possible legacy port; only a chip makes it a port.
  const QString node = QFileInfo(path).canonicalFilePath().section('/', -1);
  if (TtySName().match(node).hasMatch() && UartType(node, sysTtyRoot) == 0) return State::NoUart;
  return State::Ready;
}

DeviceOwner OwnerOf(const QString& path) {
  DeviceOwner owner;
  struct stat st {};
  const QByteArray native = Native(path);
  if (native.isEmpty() || ::stat(native.constData(), &st) != 0) return owner;
  owner.device = QFileInfo(path).canonicalFilePath();
  const struct group* g = ::getgrgid(st.st_gid);
  owner.group = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(st.st_gid);
  return owner;
}

ComPortTarget DescribeComPort(int n, const QString& sysTtyRoot) {
  ComPortTarget target;
  if (n < 1) return target;
  const QString path = ComPortPath(n);
  if (!qgetenv(QStringLiteral("KAVO_COM%1").arg(n).toLatin1().constData()).isEmpty()) {
    target.source = ComPortTarget::Source::Environment;
    target.device = path;
  } else if (path == ComPortLinkPath(n)) {
    target.source = ComPortTarget::Source::Link;
    const QFileInfo info(path);
    target.device = info.isSymLink() ? info.symLinkTarget() : path;
  } else {
    target.source = ComPortTarget::Source::Default;
    target.device = path;
  }
  target.state = DeviceState(path, sysTtyRoot);
  return target;
}

std::vector<SerialDevice> ListSerialDevices(const QString& devRoot, const QString& sysTtyRoot) {
  std::vector<SerialDevice> out;
  QSet<QString> covered;  // nodes a by-id name already stands for

  const QDir byId(devRoot + QStringLiteral("/serial/by-id"));
  QStringList names = byId.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot);
  SortNaturally(names);
  for (const QString& name : names) {
    const QString path = byId.filePath(name);
    const QString node = QFileInfo(path).canonicalFilePath();
    if (node.isEmpty()) continue;  // a stale name for an unplugged adapter
    covered.insert(node);
    out.push_back({path, QStringLiteral("%1 (%2)").arg(name, node)});
  }

  const QDir dev(devRoot);
  for (const char* pattern : {"ttyUSB*", "ttyACM*", "ttyS*"}) {
    QStringList nodes = dev.entryList({QString::fromLatin1(pattern)}, QDir::System | QDir::Files);
    SortNaturally(nodes);
    for (const QString& name : nodes) {
      const QString path = dev.filePath(name);
      if (covered.contains(QFileInfo(path).canonicalFilePath())) continue;
      if (TtySName().match(name).hasMatch() && UartType(name, sysTtyRoot) <= 0) continue;
      out.push_back({path, path});
    }
  }
  return out;
}

bool MapComPort(int n, const QString& target, QString* error) {
  auto fail = [error](const QString& why) {
    if (error) *error = why;
    return false;
  };
  if (n < 1 || n > 256) return fail(QStringLiteral("COM%1 is not a port number").arg(n));
  if (target.isEmpty()) return fail(QStringLiteral("no device given"));
  const QString link = ComPortLinkPath(n);
  const QString dir = QFileInfo(link).absolutePath();
  if (!QDir().mkpath(dir)) return fail(QStringLiteral("%1: cannot create the folder").arg(dir));

  // Build the new link under a name of its own, then rename it over the old
  // one: rename replaces atomically, so COM n is never missing or half-made.
  const QString temp = dir + QStringLiteral("/.COM%1.%2.tmp").arg(n).arg(::getpid());
  const QByteArray nativeTemp = Native(temp);
  ::unlink(nativeTemp.constData());
  if (::symlink(Native(target).constData(), nativeTemp.constData()) != 0)
    return fail(QStringLiteral("%1: %2").arg(temp, QString::fromLocal8Bit(std::strerror(errno))));
  if (::rename(nativeTemp.constData(), Native(link).constData()) != 0) {
    const int saved = errno;
    ::unlink(nativeTemp.constData());
    return fail(QStringLiteral("%1: %2").arg(link, QString::fromLocal8Bit(std::strerror(saved))));
  }
  return true;
}

}  // namespace kavo
