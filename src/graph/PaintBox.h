// The main window's paint area (PaintBox1). It owns no picture: its paint
// event hands the painter to whoever draws the graph (the plotter frames the
// area and copies its off-screen bitmap), and mouse presses are passed on as a
// signal for the point read-out.
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

namespace kavo {

class PaintBox : public QWidget {
  Q_OBJECT

 public:
  using PaintHandler = std::function<void(QPainter&)>;

  explicit PaintBox(QWidget* parent = nullptr);

  // The routine the paint event runs; an empty handler leaves the area white.
  void SetPaintHandler(PaintHandler handler);
  bool HasPaintHandler() const { return static_cast<bool>(paintHandler_); }

 signals:
  // Any mouse button pressed over the area; x and y in the area's pixels.
  void MouseDown(int x, int y, Qt::MouseButton button);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  PaintHandler paintHandler_;
};

}  // namespace kavo
