#include "analysis/windows/Re.h"

#include <QRegularExpression>
#include <cmath>

#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"
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

namespace {

// A Japanese input method types "５.６" or "５．６": full-width digits, point,
// signs, exponent letter and the ideographic space count as their ASCII
// forms. Nothing else is mapped, so a decimal comma stays refused.
QString AsciiForm(const QString& text) {
  QString out = text;
  for (QChar& c : out) {
    const char16_t u = c.unicode();
    if (u >= 0xFF10 && u <= 0xFF19) c = QChar(u'0' + (u - 0xFF10));
    else if (u == 0xFF0E) c = u'.';
    else if (u == 0xFF0D || u == 0x2212) c = u'-';
    else if (u == 0xFF0B) c = u'+';
    else if (u == 0xFF45) c = u'e';
    else if (u == 0xFF25) c = u'E';
    else if (u == 0x3000) c = u' ';
  }
  return out;
}

}  // namespace

bool TForm_Re::ParseNumber(const QString& typed, float& value) {
  static const QRegularExpression number(
      QStringLiteral("^\\s*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?\\s*$"));
  const QString text = AsciiForm(typed);
  if (!number.match(text).hasMatch()) return false;
  bool ok = false;
  const double d = text.trimmed().toDouble(&ok);  // C locale: '.' only
  if (!ok) return false;
  const float f = static_cast<float>(d);
  if (!std::isfinite(f)) return false;
  value = f;
  return true;
}

void TForm_Re::Button1Click() {
  float value = 0;
  if (!ParseNumber(Edit1->text(), value)) {
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
