#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavo {
namespace {

QString LockPath(const QString& dir, const QString& name) { return dir + name + QStringLiteral(".lock"); }
QString SocketPath(const QString& dir, const QString& name) { return dir + name + QStringLiteral(".sock"); }

// No lock and no socket without a safe folder.
int OpenLockFile(const QString& name) {
  const QString dir = RuntimeDir();
  if (dir.isEmpty()) return -1;
  return ::open(QFile::encodeName(LockPath(dir, name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW,
                0600);
}

QString SocketPathOrEmpty(const QString& name) {
  const QString dir = RuntimeDir();
  return dir.isEmpty() ? QString() : SocketPath(dir, name);
}

QString WithoutTrailingSlash(QString dir) {
  while (dir.size() > 1 && dir.endsWith('/')) dir.chop(1);
  return dir;
}

}  // namespace

bool IsPrivateDir(const QString& dir) {
  if (dir.isEmpty() || !dir.startsWith('/')) return false;
  const QByteArray path = QFile::encodeName(WithoutTrailingSlash(dir));
  struct stat st {};
  if (::lstat(path.constData(), &st) != 0) return false;  // missing
  if (!S_ISDIR(st.st_mode)) return false;                  // a link, or no folder at all
  if (st.st_uid != ::geteuid()) return false;              // someone else's
  if ((st.st_mode & 0777) != 0700) return false;           // others have access, or we lack it
  return ::access(path.constData(), R_OK | W_OK | X_OK) == 0;
}

QString RuntimeDir() {
  QString dir = QString::fromLocal8Bit(qgetenv("KAVO_RUNTIME_DIR"));
  // An explicit folder is the only one tried: no guard rather than another place.
  if (dir.isEmpty()) {
    dir = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
    if (!IsPrivateDir(dir)) {
      // The fallback is made private from the start; one that exists already
      // (perhaps made by another user) is used only when it passes the check.
      dir = QDir::tempPath() + QStringLiteral("/kavo-%1").arg(::geteuid());
      const QByteArray path = QFile::encodeName(dir);
      ::mkdir(path.constData(), 0700);
      // Earlier versions made it readable by others. Our own folder that
      // nobody else could write into is safe to close up again.
      struct stat st {};
      if (::lstat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
          (st.st_mode & 022) == 0)
        ::chmod(path.constData(), 0700);
    }
  }
  if (!IsPrivateDir(dir)) return QString();
  dir = WithoutTrailingSlash(dir);
  return dir.endsWith('/') ? dir : dir + '/';
}

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {}

SingleInstance::~SingleInstance() { Release(); }

bool SingleInstance::IsHeld(const QString& name) {
  const int fd = OpenLockFile(name);
  if (fd < 0) return false;
  const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0;
  ::close(fd);  // releases the probe's own lock, if it got one
  return held;
}

bool SingleInstance::WindowExists(const QString& name) {
  const QString path = SocketPathOrEmpty(name);
  if (path.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(path);
  const bool ok = socket.waitForConnected(1000);
  socket.abort();
  return ok;
}

namespace {

// One request, a line: "raise", or "open " and the file's name in base 64
// (any byte may stand in a file name).
bool Send(const QString& name, const QByteArray& line) {
  const QString path = SocketPathOrEmpty(name);
  if (path.isEmpty()) return false;
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(1000)) return false;
  socket.write(line + '\n');
  const bool ok = socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
  return ok;
}

}  // namespace

bool SingleInstance::RaiseWindow(const QString& name) { return Send(name, "raise"); }

bool SingleInstance::HandFile(const QString& name, const QString& file) {
  return Send(name, "open " + QFile::encodeName(file).toBase64());
}

void SingleInstance::Serve(const QByteArray& line) {
  if (line.startsWith("open ") && fileHandler) {
    const QString file = QFile::decodeName(QByteArray::fromBase64(line.mid(5)));
    if (!file.isEmpty()) fileHandler(file);
  } else if ((line == "raise" || line.startsWith("open ")) && raiseHandler) {
    raiseHandler();
  }
}

bool SingleInstance::Acquire(const QString& name) {
  if (lockFd >= 0) return true;
  const int fd = OpenLockFile(name);
  if (fd < 0) return false;
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  lockFd = fd;
  return true;
}

bool SingleInstance::Listen(const QString& name, std::function<void()> onRaise,
                            std::function<void(const QString& file)> onFile) {
  raiseHandler = std::move(onRaise);
  fileHandler = std::move(onFile);
  if (!server) {
    server = new QLocalServer(this);
    connect(server, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* client = server->nextPendingConnection()) {
        // A request may come in pieces: each whole line is served.
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
          while (client->canReadLine()) Serve(client->readLine(64 * 1024).trimmed());
        });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      }
    });
  }
  const QString path = SocketPathOrEmpty(name);
  if (path.isEmpty()) return false;
  // We hold the lock, so a socket file left behind by a crashed copy is stale.
  QLocalServer::removeServer(path);
  return server->listen(path);
}

void SingleInstance::Release() {
  if (server) {
    server->close();
    delete server;
    server = nullptr;
  }
  if (lockFd >= 0) {
    ::close(lockFd);
    lockFd = -1;
  }
}

}  // namespace kavo
