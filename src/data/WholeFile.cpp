#include "data/WholeFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo {
namespace {

// Why the last write of this thread failed (an errno value).
thread_local int lastError = 0;

bool Fail(int error) {
  lastError = error;
  return false;
}

// Where the bytes for a name go.
struct Target {
  enum Kind { Refused, Regular, Device } kind = Refused;
  QByteArray path;  // the regular file to replace (links followed), or the device
  bool exists = false;
  mode_t mode = 0;  // of the file replaced, which the new one takes over
};

Target Resolve(const QString& name) {
  Target t;
  if (name.isEmpty()) {
    lastError = ENOENT;
    return t;
  }
  const QByteArray native = QFile::encodeName(name);
  struct stat st {};
  if (::stat(native.constData(), &st) != 0) {
    if (errno == ENOENT) {
      t.kind = Target::Regular;
      t.path = native;
    } else {
      lastError = errno;
    }
    return t;
  }
  if (S_ISDIR(st.st_mode)) {
    lastError = EISDIR;
    return t;
  }
  if (!S_ISREG(st.st_mode)) {
    t.kind = Target::Device;
    t.path = native;
    return t;
  }
  char* real = ::realpath(native.constData(), nullptr);
  if (!real) {
    lastError = errno;
    return t;
  }
  t.path = real;
  std::free(real);
  t.kind = Target::Regular;
  t.exists = true;
  t.mode = st.st_mode & 07777;
  return t;
}

bool WriteAll(int fd, const char* bytes, qint64 size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, bytes, static_cast<size_t>(size));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail(n < 0 ? errno : ENOSPC);
    bytes += n;
    size -= n;
  }
  return true;
}

// A new, empty file beside `t.path`, open for writing; -1 when none can be made.
int MakeTemp(const Target& t, QByteArray& temp) {
  const qsizetype slash = t.path.lastIndexOf('/');
  const QByteArray folder = t.path.left(slash + 1);
  // Short enough that the decorated name stays within a file name's limit.
  const QByteArray base = t.path.mid(slash + 1).left(200);
  for (int attempt = 0; attempt < 16; ++attempt) {
    temp = folder + '.' + base + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".part";
    const int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      // The replaced file's permissions carry over; where they cannot, the
      // new file keeps the default ones, which is no reason to fail.
      if (t.exists && ::fchmod(fd, t.mode) != 0) {
      }
      return fd;
    }
    if (errno != EEXIST) break;
  }
  lastError = errno;
  temp.clear();
  return -1;
}

// Into a device or FIFO as it stands. A FIFO nobody reads is refused rather
// than waited for.
bool WriteDevice(const QByteArray& path, const char* bytes, qint64 size) {
  const int fd = ::open(path.constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(errno == ENXIO ? EPIPE : errno);  // ENXIO: a FIFO without a reader
  const int flags = ::fcntl(fd, F_GETFL);
  bool ok = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
  if (!ok) lastError = errno;
  ok = ok && WriteAll(fd, bytes, size);
  if (::close(fd) != 0 && ok) ok = Fail(errno);
  return ok;
}

// The flushed, closed temporary file in the target's place.
bool Replace(const QByteArray& temp, const QByteArray& target) {
  if (::rename(temp.constData(), target.constData()) == 0) return true;
  lastError = errno;
  ::unlink(temp.constData());
  return false;
}

}  // namespace

bool WriteWhole(const QString& name, const char* bytes, qint64 size) {
  lastError = 0;
  const Target t = Resolve(name);
  if (t.kind == Target::Device) return WriteDevice(t.path, bytes, size);
  if (t.kind != Target::Regular) return false;
  QByteArray temp;
  const int fd = MakeTemp(t, temp);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes, size);
  if (ok && ::fsync(fd) != 0) ok = Fail(errno);
  if (::close(fd) != 0 && ok) ok = Fail(errno);
  if (!ok) {
    ::unlink(temp.constData());
    return false;
  }
  return Replace(temp, t.path);
}

PendingFile::PendingFile(const QString& target) : target_(target) {
  lastError = 0;
  Target t = Resolve(target);
  // A device target gets its bytes from a temporary file in the working folder.
  if (t.kind == Target::Device) {
    t.kind = Target::Regular;
    t.path = "kavo";
    t.exists = false;
  }
  if (t.kind != Target::Regular) return;
  QByteArray temp;
  const int fd = MakeTemp(t, temp);
  if (fd < 0) return;
  if (::close(fd) != 0) {
    ::unlink(temp.constData());
    return;
  }
  temp_ = QFile::decodeName(temp);
}

PendingFile::~PendingFile() {
  if (!temp_.isEmpty()) ::unlink(QFile::encodeName(temp_).constData());
}

bool PendingFile::Commit() {
  if (temp_.isEmpty()) return false;
  const QByteArray temp = QFile::encodeName(temp_);
  const Target t = Resolve(target_);
  bool ok = false;
  if (t.kind == Target::Device) {
    QFile written(temp_);
    ok = written.open(QIODevice::ReadOnly);
    const QByteArray bytes = ok ? written.readAll() : QByteArray();
    ok = ok && written.error() == QFileDevice::NoError && WriteDevice(t.path, bytes.constData(), bytes.size());
    ::unlink(temp.constData());
  } else if (t.kind == Target::Regular) {
    const int fd = ::open(temp.constData(), O_RDONLY | O_CLOEXEC);
    ok = fd >= 0 && ::fsync(fd) == 0;
    if (!ok) lastError = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) ok = Fail(errno);
    if (ok) ok = Replace(temp, t.path);
    else ::unlink(temp.constData());
  } else {
    ::unlink(temp.constData());
  }
  temp_.clear();
  return ok;
}

QString WriteErrorText() { return lastError ? QString::fromLocal8Bit(std::strerror(lastError)) : QString(); }

void SetWriteError(int error) { lastError = error; }

void ProbeWriteError(const QString& path) {
  lastError = EIO;
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    lastError = errno;
    return;
  }
  if (::write(fd, "\n", 1) != 1 || ::fsync(fd) != 0) lastError = errno ? errno : EIO;
  ::close(fd);
}

bool PdfComplete(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const qint64 size = file.size();
  constexpr qint64 TailBytes = 1024;
  if (!file.seek(std::max<qint64>(0, size - TailBytes))) return false;
  const QByteArray tail = file.read(TailBytes).trimmed();
  if (!tail.endsWith("%%EOF")) return false;
  const qsizetype at = tail.lastIndexOf("startxref");
  if (at < 0) return false;
  bool ok = false;
  const qint64 offset = tail.mid(at + 9, tail.size() - 5 - at - 9).trimmed().toLongLong(&ok);
  if (!ok || offset <= 0 || offset >= size || !file.seek(offset)) return false;
  return file.read(4) == "xref";
}

}  // namespace kavo
