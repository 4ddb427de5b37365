#include "analysis/windows/Re.h"

#include <cmath>

#include "data/Stringutil.h"
#include "platform/Look.h"
#include "platform/Modal.h"
#include "ui_Re.h"

namespace kavo {

TForm_Re::TForm_Re(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TForm_Re>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("TForm_Re"));
  setFixedSize(217, 172);
  setFont(ProgramFont(12));
  ui_->Label1->setFont(ProgramFont(13));
  ui_->Edit1->setFont(ProgramFont(16));
  Edit1 = ui_->Edit1;
  Button1 = ui_->Button1;
  Button2 = ui_->Button2;
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm_Re::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm_Re::Button2Click);
}

TForm_Re::~TForm_Re() = default;

void TForm_Re::SetTarget(float* value, uint8_t* cancelled) {
  target_ = value;
  cancelled_ = cancelled;
}

void TForm_Re::Button1Click() {
  float value = 0;
  if (!ParseDecimal(Edit1->text(), value)) {
    Modal().Message(nullptr, QStringLiteral("Re の値の入力"), QStringLiteral("Re の値が正しくありません"),
                    MsgIcon::Stop, MsgButtons::OK);
    return;
  }
  if (target_) *target_ = value;
  if (cancelled_) *cancelled_ = 0;
  done(QDialog::Accepted);
}

void TForm_Re::Button2Click() {
  if (cancelled_) *cancelled_ = 1;
  done(QDialog::Rejected);
}

void TForm_Re::reject() { Button2Click(); }

}  // namespace kavo
