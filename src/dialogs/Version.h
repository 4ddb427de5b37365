// The version window: one picture with the program name, the version and
// the maker's line. A click on it, anywhere, closes it, and so do Escape,
// Return and Space; it has no close box.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>

namespace Ui {
class TFormVersion;
}

namespace kavo {

class TFormVersion : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 290;
  static constexpr int kHeight = 170;

  explicit TFormVersion(QWidget* parent = nullptr);
  ~TFormVersion() override;


  // The 290 x 170, 24-bit picture shown in Image1.
  static QImage Picture();

 public slots:
  // Bound to a click on the window and on the picture: closes the window.
  void FormClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<Ui::TFormVersion> ui_;
};

}  // namespace kavo
