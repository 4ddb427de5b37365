// A full disk for the scope of an object, and the listing of a folder that
// shows what a failed write left behind.
#pragma once

#include <QDir>
#include <QDirIterator>
#include <QStringList>
#include <csignal>
#include <sys/resource.h>

namespace kavo::test {

// The disk is full: writes beyond `bytes` fail (EFBIG, SIGXFSZ ignored).
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old_;
    small.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &small);
  }
  ~ScopedFileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*handler_)(int) = SIG_DFL;
};

// Everything below `root`, relative, sorted; folders end in '/'.
inline QStringList Tree(const QString& root) {
  QStringList names;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    names << QDir(root).relativeFilePath(path) + (it.fileInfo().isDir() ? QStringLiteral("/") : QString());
  }
  names.sort();
  return names;
}

}  // namespace kavo::test
