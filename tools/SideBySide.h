// The main window and an analysis window beside it, in one picture (the
// README's pictures of the analysis windows).
#pragma once

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstdio>

#include "EventPump.h"

inline bool SaveSideBySide(QWidget* main, QWidget* window, const QString& out) {
  kavo::test::PumpFor(500);
  const QPixmap left = main->grab(), right = window->grab();
  QImage shot(left.width() + 12 + right.width(), std::max(left.height(), right.height()), QImage::Format_RGB32);
  shot.fill(QColor(0x5a, 0x5a, 0x5a));
  {
    QPainter p(&shot);
    p.drawPixmap(0, 0, left);
    p.drawPixmap(left.width() + 12, 0, right);
  }
  const bool saved = shot.save(out);
  std::printf("%s %s\n", saved ? "saved" : "not saved", qPrintable(out));
  return saved;
}
