// One running copy per user: a named lock (a lock file held with flock) and
// a local socket of the same name on which the running copy is asked to
// bring its window forward, or to open a file.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace kavo {

// True for a real folder (not a link) owned by this user, with mode 0700.
bool IsPrivateDir(const QString& dir);

// Directory of the lock files and sockets, with a trailing '/': when
// $KAVO_RUNTIME_DIR is set, that folder; else $XDG_RUNTIME_DIR, else
// <temp>/kavo-<uid> (created with mode 0700); each only when IsPrivateDir.
// Empty when there is no such folder: the program then runs unguarded.
QString RuntimeDir();

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  explicit SingleInstance(QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when another process (or another holder in this one) holds `name`.
  static bool IsHeld(const QString& name);
  // True when a running copy answers on the socket `name`.
  static bool WindowExists(const QString& name);
  // Asks the copy listening on `name` to bring its window forward.
  static bool RaiseWindow(const QString& name);
  // Hands `file` (an absolute path) to the copy listening on `name`.
  static bool HandFile(const QString& name, const QString& file);

  // Takes the lock `name` for the life of this object; false if taken or
  // when there is no safe folder for it (IsHeld tells the two apart).
  bool Acquire(const QString& name);
  // Listens on the socket `name`; `onRaise` runs when another copy asks,
  // `onFile` with the file when another copy hands one (`onRaise` when
  // there is no `onFile`).
  bool Listen(const QString& name, std::function<void()> onRaise,
              std::function<void(const QString& file)> onFile = {});
  void Release();

 private:
  int lockFd = -1;
  QLocalServer* server = nullptr;
  std::function<void()> raiseHandler;
  std::function<void(const QString&)> fileHandler;
  void Serve(const QByteArray& line);
};

}  // namespace kavo
