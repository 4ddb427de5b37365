#include "dialogs/Version.h"

#include "platform/desktop/Look.h"
#include "ui_Version.h"

#include <QFont>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace kavo {
namespace {

QFont PictureFont(int pixelSize, bool bold) {
  QFont font = ProgramFont(pixelSize);
  font.setBold(bold);
  return font;
}

// A faint impedance curve of a driver (a resonance hump rising again towards
// the top) as the picture's emblem, right of the name.
void DrawEmblem(QPainter& p) {
  QPainterPath curve;
  const double x0 = 150, x1 = 276, yBase = 88, yTop = 22;
  for (int i = 0; i <= 80; ++i) {
    const double t = i / 80.0;  // log frequency, 0..1
    const double f = std::pow(10.0, 1.3 + 3.0 * t);
    const double fs = 60.0, q = 2.2;
    const double x = f / fs - fs / f;
    const double hump = 1.0 / std::sqrt(1.0 + q * q * x * x);
    const double rise = 0.25 * t * t;
    const double y = yBase - (yBase - yTop) * (0.1 + 0.9 * hump + rise) / 1.35;
    const QPointF pt(x0 + (x1 - x0) * t, y);
    if (i == 0) curve.moveTo(pt);
    else curve.lineTo(pt);
  }
  p.setPen(QPen(QColor(120, 200, 255, 150), 2));
  p.drawPath(curve);
  p.setPen(QPen(QColor(255, 255, 255, 40), 1));
  for (int k = 0; k <= 3; ++k) {
    const double x = x0 + (x1 - x0) * k / 3.0;
    p.drawLine(QPointF(x, yTop - 10), QPointF(x, yBase));
  }
  p.drawLine(QPointF(x0, yBase), QPointF(x1, yBase));
}

}  // namespace

TFormVersion::TFormVersion(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormVersion>()) {
  ui_->setupUi(this);
  setFixedSize(kWidth, kHeight);
  ui_->Image1->setPixmap(QPixmap::fromImage(Picture()));
  ui_->Image1->installEventFilter(this);
}

TFormVersion::~TFormVersion() = default;

QImage TFormVersion::Picture() {
  QImage image(kWidth, kHeight, QImage::Format_RGB888);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient sky(0, 0, 0, kHeight);
  sky.setColorAt(0.0, QColor(16, 40, 84));
  sky.setColorAt(1.0, QColor(6, 14, 32));
  p.fillRect(image.rect(), sky);
  DrawEmblem(p);

  p.setPen(Qt::white);
  p.setFont(PictureFont(40, true));
  p.drawText(QRect(16, 14, 200, 48), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("KAVO"));
  p.setPen(QColor(120, 200, 255));
  p.setFont(PictureFont(18, true));
  p.drawText(QRect(18, 62, 120, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("v2.1"));
  p.setPen(QColor(230, 236, 245));
  p.setFont(PictureFont(13, false));
  p.drawText(QRect(16, 98, 260, 18), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("スピーカのインピーダンス測定"));

  p.setPen(QColor(255, 255, 255, 60));
  p.drawLine(16, 138, kWidth - 16, 138);
  p.setPen(QColor(200, 208, 220));
  p.setFont(PictureFont(11, false));
  p.drawText(QRect(16, 142, kWidth - 32, 20), Qt::AlignLeft | Qt::AlignVCenter,
             QStringLiteral("KA-V 測定ユニット用  © KAVO Project"));
  p.end();
  return image;
}

void TFormVersion::FormClick() { accept(); }

bool TFormVersion::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ui_->Image1 && event->type() == QEvent::MouseButtonRelease) {
    FormClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TFormVersion::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  FormClick();
}

// The keyboard's way out: Escape, Return, Enter and Space close it like a click.
void TFormVersion::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      event->accept();
      FormClick();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace kavo
