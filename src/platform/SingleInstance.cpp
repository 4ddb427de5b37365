#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kavo {
namespace {

QString LockPath(const QString& name) { return RuntimeDir() + name + QStringLiteral(".lock"); }
QString SocketPath(const QString& name) { return RuntimeDir() + name + QStringLiteral(".sock"); }

int OpenLockFile(const QString& name) {
  return ::open(QFile::encodeName(LockPath(name)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

}  // namespace

QString RuntimeDir() {
  QString dir = QString::fromLocal8Bit(qgetenv("KAVO_RUNTIME_DIR"));
  if (dir.isEmpty()) dir = QString::fromLocal8Bit(qgetenv("XDG_RUNTIME_DIR"));
  if (dir.isEmpty()) dir = QStringLiteral("/tmp/kavo-%1").arg(getuid());
  QDir().mkpath(dir);
  if (!dir.endsWith('/')) dir += '/';
  return dir;
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
  QLocalSocket socket;
  socket.connectToServer(SocketPath(name));
  const bool ok = socket.waitForConnected(1000);
  socket.abort();
  return ok;
}

bool SingleInstance::RaiseWindow(const QString& name) {
  QLocalSocket socket;
  socket.connectToServer(SocketPath(name));
  if (!socket.waitForConnected(1000)) return false;
  socket.write("raise\n");
  const bool ok = socket.waitForBytesWritten(1000);
  socket.disconnectFromServer();
  return ok;
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

bool SingleInstance::Listen(const QString& name, std::function<void()> onRaise) {
  raiseHandler = std::move(onRaise);
  if (!server) {
    server = new QLocalServer(this);
    connect(server, &QLocalServer::newConnection, this, [this] {
      while (QLocalSocket* client = server->nextPendingConnection()) {
        connect(client, &QLocalSocket::readyRead, this, [this, client] {
          if (client->readAll().startsWith("raise") && raiseHandler) raiseHandler();
        });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
      }
    });
  }
  // We hold the lock, so a socket file left behind by a crashed copy is stale.
  QLocalServer::removeServer(SocketPath(name));
  return server->listen(SocketPath(name));
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
