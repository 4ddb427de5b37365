// The parameter table: the ten values of a TSResult, "0.00" each, "---"
// before a result is set and for a value that is not a number.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "analysis/Ts_analysis.h"

class QLineEdit;
class QPushButton;

namespace Ui {
class TFormTS;
}

namespace kavo {

// Writes a number into a read-only table field whole, or "---" when it is
// too wide for the field (the full text then goes into the tool tip): a
// field never shows a number with digits cut off.
void ShowWhole(QLineEdit* field, const QString& text);

class TFormTS : public QDialog {
  Q_OBJECT

 public:
  explicit TFormTS(QWidget* parent = nullptr);
  ~TFormTS() override;

  // Stores the result to show and shows it.
  void SetResult(const TSResult* result);
  // Writes the ten boxes from the result (each time the window is active).
  void FormActivate();
  // "OK": closes the window.
  void Button1Click();

  std::array<QLineEdit*, TSFieldCount> Edits{};
  QPushButton* Button1 = nullptr;

 protected:
  void changeEvent(QEvent* event) override;

 private:
  std::unique_ptr<Ui::TFormTS> ui_;
  const TSResult* result_ = nullptr;
};

}  // namespace kavo
