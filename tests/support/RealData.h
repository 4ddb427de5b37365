// The real measured curves beside the project: ../shared/data/real from the
// sources (KAVO_REAL_DATA names another folder).
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QString>

namespace kavo::test {

inline QString Real(const char* name) {
  QString dir = qEnvironmentVariable("KAVO_REAL_DATA");
  if (dir.isEmpty()) {
    QString source = qEnvironmentVariable("KAVO_TEST_SOURCE_DIR");
    if (source.isEmpty()) source = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../..");
    dir = source + QStringLiteral("/../shared/data/real");
  }
  const QString path = QDir(dir).filePath(QString::fromUtf8(name));
  EXPECT_TRUE(QFileInfo::exists(path)) << path.toStdString();
  return path;
}

}  // namespace kavo::test
