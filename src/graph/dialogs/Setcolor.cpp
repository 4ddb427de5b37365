#include "graph/dialogs/Setcolor.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <algorithm>
#include <iterator>

#include "graph/PaintBox.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"
#include "ui_Setcolor.h"

namespace kavo {

TFormSetColor::TFormSetColor(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormSetColor>()) {
  ui_->setupUi(this);
  setFont(ProgramFont(12));
  setFixedSize(size());
  PaintBox1 = ui_->PaintBox1;
  PaintBox2 = ui_->PaintBox2;
  PaintBox3 = ui_->PaintBox3;
  PaintBox4 = ui_->PaintBox4;
  ComboBox1 = ui_->ComboBox1;
  CancelBtn = ui_->CancelBtn;
  SetBtn = ui_->SetBtn;

  PaintBox* boxes[4] = {PaintBox1, PaintBox2, PaintBox3, PaintBox4};
  void (TFormSetColor::*clicks[4])() = {&TFormSetColor::PaintBox1Click, &TFormSetColor::PaintBox2Click,
                                        &TFormSetColor::PaintBox3Click, &TFormSetColor::PaintBox4Click};
  for (int i = 0; i < 4; ++i) {
    const int index = i + 1;
    boxes[i]->SetPaintHandler([this, index, box = boxes[i]](QPainter& p) {
      // The whole area in the colour, outlined by a one-pixel black pen.
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(ColorFromBgr(static_cast<uint32_t>(SwatchColour(index))));
      p.drawRect(QRect(0, 0, box->width() - 1, box->height() - 1));
      if (box->hasFocus()) {
        // The swatch Tab has reached: a dotted frame inside, visible on any colour.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 1));
        p.drawRect(QRect(2, 2, box->width() - 5, box->height() - 5));
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.drawRect(QRect(2, 2, box->width() - 5, box->height() - 5));
      }
    });
    boxes[i]->installEventFilter(this);
    connect(boxes[i], &PaintBox::MouseDown, this, [this, click = clicks[i]](int, int, Qt::MouseButton button) {
      if (button == Qt::LeftButton) (this->*click)();
    });
  }
  // Only the five positions can be chosen: the box is a plain list.
  connect(ComboBox1, &QComboBox::currentIndexChanged, this, [this](int) { ComboBox1Change(); });
  connect(SetBtn, &QPushButton::clicked, this, &TFormSetColor::SetBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TFormSetColor::CancelBtnClick);
}

TFormSetColor::~TFormSetColor() = default;

void TFormSetColor::Prepare(SettingsRecord& settings, uint8_t& cancelled) {
  workingColours = settings;
  target_ = &settings;
  cancelled_ = &cancelled;
  cancelled = 1;
  ComboBox1->setCurrentIndex(0);
  FormPaint();
}

namespace {

// Swatches 1 and 2 hold the measurement's R and θ colours, 3 and 4 those of
// reference position k.
template <typename Record>
auto& SwatchField(Record& colours, int index, int k) {
  switch (index) {
    case 1: return colours.PenColor_R;
    case 2: return colours.PenColor_Theta;
    case 3: return colours.PenColor_R_Ref[k];
    default: return colours.PenColor_Theta_Ref[k];
  }
}

}  // namespace

int32_t& TFormSetColor::ColourOf(int index) {
  return SwatchField(workingColours, index, std::max(0, ComboBox1->currentIndex()));
}

int32_t TFormSetColor::SwatchColour(int index) const {
  return SwatchField(workingColours, index, std::max(0, ComboBox1->currentIndex()));
}

void TFormSetColor::PaintSwatch(int index) const {
  PaintBox* boxes[4] = {PaintBox1, PaintBox2, PaintBox3, PaintBox4};
  boxes[index - 1]->update();
}

void TFormSetColor::FormPaint() {
  for (int i = 1; i <= 4; ++i) PaintSwatch(i);
}

void TFormSetColor::ComboBox1Change() {
  PaintSwatch(3);
  PaintSwatch(4);
}

bool TFormSetColor::eventFilter(QObject* watched, QEvent* event) {
  PaintBox* boxes[4] = {PaintBox1, PaintBox2, PaintBox3, PaintBox4};
  const auto* at = std::find(std::begin(boxes), std::end(boxes), watched);
  if (at == std::end(boxes)) return QDialog::eventFilter(watched, event);
  const int index = static_cast<int>(at - std::begin(boxes)) + 1;
  switch (event->type()) {
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter) break;
      PickInto(index);
      return true;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: PaintSwatch(index); break;
    default: break;
  }
  return QDialog::eventFilter(watched, event);
}

// The picker opens at the colour being changed.
void TFormSetColor::PickInto(int index) {
  uint32_t colour = static_cast<uint32_t>(ColourOf(index));
  if (!Modal().PickColor(this, colour)) return;
  ColourOf(index) = static_cast<int32_t>(colour);
  PaintSwatch(index);
}

void TFormSetColor::PaintBox1Click() { PickInto(1); }
void TFormSetColor::PaintBox2Click() { PickInto(2); }
void TFormSetColor::PaintBox3Click() { PickInto(3); }
void TFormSetColor::PaintBox4Click() { PickInto(4); }

void TFormSetColor::SetBtnClick() {
  if (target_) *target_ = workingColours;
  if (cancelled_) *cancelled_ = 0;
  accept();
}

void TFormSetColor::CancelBtnClick() { reject(); }

// Escape and the window manager's close count as "取り消し".
void TFormSetColor::reject() {
  if (cancelled_) *cancelled_ = 1;
  QDialog::reject();
}

}  // namespace kavo
