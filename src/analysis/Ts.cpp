#include "analysis/Ts.h"

#include <QEvent>

#include "platform/Look.h"
#include "ui_Ts.h"

namespace kavo {

TFormTS::TFormTS(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormTS>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("TFormTS"));
  setFixedSize(193, 314);
  setFont(ProgramFont(12));
  Edits = {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5,
           ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10};
  for (QLineEdit* e : Edits) e->setAlignment(Qt::AlignRight);
  Button1 = ui_->Button1;
  connect(Button1, &QPushButton::clicked, this, &TFormTS::Button1Click);
}

TFormTS::~TFormTS() = default;

void TFormTS::SetResult(const TSResult* result) {
  result_ = result;
  FormActivate();
}

void TFormTS::FormActivate() {
  for (int i = 0; i < TSFieldCount; ++i)
    Edits[size_t(i)]->setText(result_ ? FormatTSValue(TSField(*result_, i)) : QStringLiteral("---"));
}

void TFormTS::Button1Click() { done(QDialog::Accepted); }

void TFormTS::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QDialog::changeEvent(event);
}

}  // namespace kavo
