// The print information dialog: three lines of measurement information that
// are printed under the graph and kept in the settings. "印刷" stores them and
// lets printing go on; "取消し", Escape or closing the window stores nothing.
#pragma once

#include <QDialog>
#include <QValidator>
#include <cstdint>
#include <memory>

#include "data/Kavo_setting.h"

class QLineEdit;
class QPushButton;

namespace Ui {
class TFormPrnInfo;
}

namespace kavo {

// Accepts a line only while it fits the settings file: no line break and at
// most MaxPrintInfoBytes bytes in code page 932.
class PrintInfoValidator : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

class TFormPrnInfo : public QDialog {
  Q_OBJECT

 public:
  explicit TFormPrnInfo(QWidget* parent = nullptr);
  ~TFormPrnInfo() override;

  // Remembers the settings record and the caller's flag, which stays 1
  // (cancelled) unless "印刷" is pressed.
  void Prepare(SettingsRecord& settings, uint8_t& printCancelled);

  void FormShow();
  void Button1Click();  // "印刷"
  void Button2Click();  // "取消し"

  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 public slots:
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::unique_ptr<Ui::TFormPrnInfo> ui_;
  PrintInfoValidator validator_;
  SettingsRecord* settings_ = nullptr;
  uint8_t* cancelled_ = nullptr;
};

}  // namespace kavo
