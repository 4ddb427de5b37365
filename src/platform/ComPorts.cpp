#include "platform/ComPorts.h"

#include "platform/Paths.h"

#include <QFileInfo>

namespace kavo {

QString ComPortPath(int n) {
  if (n < 1) return QString();
  const QByteArray env = qgetenv(QStringLiteral("KAVO_COM%1").arg(n).toLatin1().constData());
  if (!env.isEmpty()) return QString::fromLocal8Bit(env);
  const QString entry = SettingsDir() + QStringLiteral("ports/COM%1").arg(n);
  const QFileInfo info(entry);
  if (info.isSymLink() || info.exists()) return entry;
  return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}

}  // namespace kavo
