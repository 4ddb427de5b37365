// The Re input dialog: asks for the voice-coil DC resistance before the
// Thiele-Small parameters are computed. It fills the caller's float and
// cancel flag; the text typed last stays in the box for the next time.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>

class QLineEdit;
class QPushButton;

namespace Ui {
class TForm_Re;
}

namespace kavo {

class TForm_Re : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Re(QWidget* parent = nullptr);
  ~TForm_Re() override;

  // The float to fill and the flag to set (1 = cancelled, 0 = entered).
  void SetTarget(float* value, uint8_t* cancelled);

  // "入力": a number goes into the target and the dialog closes; other text
  // is refused with a message and the dialog stays open.
  void Button1Click();
  // "取消し": cancelled, the target untouched.
  void Button2Click();

  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  // Escape counts as "取消し"; the dialog has no other way to close.
  void reject() override;

 private:
  std::unique_ptr<Ui::TForm_Re> ui_;
  float* target_ = nullptr;
  uint8_t* cancelled_ = nullptr;
};

}  // namespace kavo
