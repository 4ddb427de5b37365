#include "graph/PaintBox.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavo {

PaintBox::PaintBox(QWidget* parent) : QWidget(parent) {
  // The handler covers every pixel, so Qt need not erase the area first.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PaintBox::SetPaintHandler(PaintHandler handler) {
  paintHandler_ = std::move(handler);
  update();
}

void PaintBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (paintHandler_) {
    paintHandler_(painter);
  } else {
    painter.fillRect(rect(), Qt::white);
  }
}

void PaintBox::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  emit MouseDown(pos.x(), pos.y(), event->button());
  QWidget::mousePressEvent(event);
}

}  // namespace kavo
