#include "analysis/windows/Ts.h"

#include <QEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionFrame>

#include "platform/desktop/Look.h"
#include "ui_Ts.h"

namespace kavo {

void ShowWhole(QLineEdit* field, const QString& text) {
  QStyleOptionFrame frame;
  frame.initFrom(field);
  frame.rect = field->rect();
  frame.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, field) : 0;
  const QRect contents = field->style()->subElementRect(QStyle::SE_LineEditContents, &frame, field);
  const QMargins margins = field->textMargins();
  // The line edit keeps 2 pixels free on either side of its text.
  const int room = contents.width() - margins.left() - margins.right() - 2 * 2;
  const bool fits = field->fontMetrics().horizontalAdvance(text) <= room;
  field->setText(fits ? text : QStringLiteral("---"));
  field->setToolTip(fits ? QString() : text);
  field->setCursorPosition(0);
}

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
    ShowWhole(Edits[size_t(i)], result_ ? FormatTSValue(TSField(*result_, i)) : QStringLiteral("---"));
}

void TFormTS::Button1Click() { done(QDialog::Accepted); }

void TFormTS::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QDialog::changeEvent(event);
}

}  // namespace kavo
