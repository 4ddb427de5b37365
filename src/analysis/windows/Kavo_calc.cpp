#include "analysis/windows/Kavo_calc.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <QMessageBox>
#include <QPointer>

#include "analysis/windows/AnalysisTexts.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "data/Kavo_data.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"
#include "ui_Kavo_calc.h"

namespace kavo {
namespace {

// Which window was active before the one being activated now. The analysis
// window searches again when the user comes back to it from another window
// of the program, but not when a message box it showed itself closes, nor
// when the user comes back from another program.
class ActivationTracker : public QObject {
 public:
  static ActivationTracker& Instance() {
    static ActivationTracker* tracker = [] {
      auto* t = new ActivationTracker(qApp);
      qApp->installEventFilter(t);
      return t;
    }();
    return *tracker;
  }
  // The window active before `window`; `window` itself when it was the last
  // active window of the program.
  QWidget* ActivatedFrom() const { return from_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::WindowActivate && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow()) {
        from_ = w == last_ ? w : last_.data();
        last_ = w;
      }
    }
    return false;
  }

 private:
  using QObject::QObject;
  QPointer<QWidget> last_;
  QPointer<QWidget> from_;
};

}  // namespace

TFormCalc::TFormCalc(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      ui_(std::make_unique<Ui::TFormCalc>()) {
  ui_->setupUi(this);
  setObjectName(QStringLiteral("TFormCalc"));
  setFixedSize(296, 280);
  setFont(ProgramFont(12));
  Edits = {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5,
           ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10};
  for (QLineEdit* e : Edits) e->setAlignment(Qt::AlignRight);
  ButtonTS = ui_->ButtonTS;
  CloseButton = ui_->CloseButton;
  connect(ButtonTS, &QPushButton::clicked, this, &TFormCalc::ButtonTSClick);
  connect(CloseButton, &QPushButton::clicked, this, &TFormCalc::CloseButtonClick);
  // Between the two buttons of the window's own layout.
  FitButton = new QPushButton(QString::fromUtf8("モデル適合..."), this);
  FitButton->setGeometry(101, 240, 90, 25);
  FitButton->setFocusPolicy(Qt::StrongFocus);
  FitButton->setObjectName(QStringLiteral("FitButton"));
  // Tab goes left to right along the buttons.
  setTabOrder(ButtonTS, FitButton);
  setTabOrder(FitButton, CloseButton);
  connect(FitButton, &QPushButton::clicked, this, &TFormCalc::ModelFitRequested);
  ActivationTracker::Instance();
}

TFormCalc::~TFormCalc() = default;

void TFormCalc::SetDialogs(TForm_Re* re, TFormTS* ts) {
  re_ = re;
  ts_ = ts;
}

void TFormCalc::SetSource(const PointValues* raw, PointValues* smooth, TSResult* result,
                          const MeasureData* measurement) {
  raw_ = raw;
  smooth_ = smooth;
  result_ = result;
  measurement_ = measurement;
}

void TFormCalc::ClearPeaks() {
  for (QLineEdit* e : Edits) ShowWhole(e, QStringLiteral("---"));
}

void TFormCalc::ShowPeak(int32_t slot, int32_t row) {
  if (row < 0 || row >= MaxPeaks) return;
  ShowWhole(Edits[size_t(2 * row)], FormatPeakValue(analysis_.F(slot)));
  QLineEdit* r = Edits[size_t(2 * row + 1)];
  ShowWhole(r, FormatPeakValue(analysis_.R(slot)));
  QPalette palette = r->palette();
  palette.setColor(QPalette::Text, palette.color(QPalette::WindowText));
  r->setPalette(palette);
}

void TFormCalc::FindPeaks() {
  ClearPeaks();
  // The smoothed curve is made again from the values the search reads, so
  // a measurement that changed while the window stayed open is never
  // searched half new, half old.
  MakeSmoothValues(*raw_, measurement_->band, *smooth_);
  analysis_.SetSource(raw_, smooth_, measurement_);
  analysis_.FindPeaks();
  for (int32_t row = 0; row < analysis_.peakCount; ++row) ShowPeak(analysis_.peakSlots[row], row);
}

bool TFormCalc::CalcTS() {
  const TsFailure failure = analysis_.CalcTS(calcRe, *result_);
  if (failure == TsFailure::None) return true;
  ShowMessage(failure);
  return false;
}

void TFormCalc::ShowMessage(TsFailure failure) {
  Modal().Message(nullptr, TsFailureCaption(failure), TsFailureText(failure), MsgIcon::Stop, MsgButtons::OK);
}

void TFormCalc::FormActivate() {
  if (!raw_ || !smooth_ || !result_ || !measurement_) {
    ClearPeaks();
    ButtonTS->setEnabled(false);
    return;
  }
  FindPeaks();
  if (analysis_.peakCount == 0) {
    ShowMessage(TsFailure::NoPeak);
    ButtonTS->setEnabled(false);
  } else {
    ButtonTS->setEnabled(true);
  }
}

void TFormCalc::ButtonTSClick() {
  if (analysis_.peakCount == 0 || analysis_.peakR == 0 || !result_) {
    ShowMessage(TsFailure::NoPeak);
    ButtonTS->setEnabled(false);
    return;
  }
  if (!re_ || !ts_) return;
  uint8_t cancelled = 1;  // a dialog closed any other way counts as cancelled
  re_->SetTarget(&calcRe, &cancelled);
  Modal().ExecDialog(*re_);
  if (cancelled) {
    activateWindow();
    return;
  }
  if (!CalcTS()) return;
  ts_->SetResult(result_);
  Modal().ExecDialog(*ts_);
}

void TFormCalc::CloseButtonClick() {
  if (ts_) ts_->close();
  close();
}

// Escape is "閉じる", as in the program's dialogs.
void TFormCalc::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
    e->accept();
    CloseButtonClick();
    return;
  }
  QWidget::keyPressEvent(e);
}

QPoint TFormCalc::PlaceBeside(const QRect& owner, int menuBottom, const QSize& size, const QRect& screen) {
  constexpr int gap = 8;
  const int w = size.width(), h = size.height();
  const int top = std::clamp(owner.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - h));
  if (owner.right() + 1 + gap + w <= screen.right() + 1) return {owner.right() + 1 + gap, top};
  if (owner.left() - gap - w >= screen.left()) return {owner.left() - gap - w, top};
  // No room on either side: at the screen's right edge, below the owner's
  // menu bar so that the menus stay in reach.
  const int below = std::clamp(menuBottom + 1, screen.top(), std::max(screen.top(), screen.bottom() + 1 - h));
  return {std::max(screen.left(), screen.right() + 1 - w), below};
}

bool TFormCalc::event(QEvent* e) {
  const bool handled = QWidget::event(e);
  if (e->type() == QEvent::WindowActivate) {
    QWidget* from = ActivationTracker::Instance().ActivatedFrom();
    if (from != this && !qobject_cast<QMessageBox*>(from)) FormActivate();
  }
  return handled;
}

}  // namespace kavo
