// See analysis/windows/AnalysisWindow.h.
#include "analysis/windows/AnalysisWindow.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

#include "analysis/FitReport.h"
#include "analysis/Fitter.h"
#include "analysis/windows/WindowKeys.h"
#include "data/DataSets.h"
#include "data/Stringutil.h"
#include "data/WholeFile.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

TFormAnalysis::TFormAnalysis(QWidget* parent, const char* objectName, const char* caption, const char* runText)
    : QWidget(parent, Qt::Window), caption_(caption), overlay_(std::make_unique<PointValues>()) {
  setObjectName(QLatin1String(objectName));
  setWindowTitle(U(caption));
  setFont(ProgramFont(12));
  RunButton = new QPushButton(U(runText), this);
  SaveButton = new QPushButton(U("保存(&P)..."), this);
  CloseButton = new QPushButton(U("閉じる"), this);
  Table = new QTableWidget(0, 0, this);
  InfoLabel = new QLabel(this);
  InfoLabel->setWordWrap(true);
  NotesLabel = new QLabel(this);
  NotesLabel->setWordWrap(true);
  NotesLabel->hide();
  connect(RunButton, &QPushButton::clicked, this, [this] { RunClick(); });
  connect(SaveButton, &QPushButton::clicked, this, &TFormAnalysis::SaveClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void TFormAnalysis::FinishLayout(QGridLayout* grid, int row, int span, std::initializer_list<QWidget*> inputs,
                                 QStringList columns, int rows) {
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(RunButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  grid->addLayout(buttons, row, 0, 1, span);
  Table->setColumnCount(int(columns.size()));
  Table->setHorizontalHeaderLabels(columns);
  Table->verticalHeader()->hide();
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setTabKeyNavigation(false);  // one Tab stop; the arrow keys move inside
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Table->verticalHeader()->setDefaultSectionSize(22);
  Table->setMinimumHeight(22 * rows + 8);
  grid->addWidget(Table, row + 1, 0, 1, span);
  grid->addWidget(InfoLabel, row + 2, 0, 1, span);
  grid->addWidget(NotesLabel, row + 3, 0, 1, span);
  std::vector<QWidget*> order(inputs);
  for (QWidget* w : {static_cast<QWidget*>(RunButton), static_cast<QWidget*>(SaveButton),
                     static_cast<QWidget*>(CloseButton), static_cast<QWidget*>(Table)})
    order.push_back(w);
  for (QWidget* w : order) w->setFocusPolicy(Qt::StrongFocus);
  for (size_t i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
  SaveButton->setEnabled(false);
}

QLabel* TFormAnalysis::Label(const char* text, QWidget* buddy) {
  auto* label = new QLabel(U(text), this);
  label->setBuddy(buddy);
  return label;
}

QLineEdit* TFormAnalysis::NumberEdit(int width) {
  auto* edit = new QLineEdit(this);
  edit->setAlignment(Qt::AlignRight);
  edit->setFixedWidth(width);
  return edit;
}

void TFormAnalysis::SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName,
                              double re) {
  raw_ = raw;
  measurement_ = measurement;
  fileName_ = fileName;
  if (ReEdit && re > 0 && ReEdit->text().isEmpty()) ReEdit->setText(QString::number(re, 'g', 6));
}

FitCurve TFormAnalysis::Current() const {
  if (!raw_ || !measurement_ || measurement_->valid != 1) return {};
  return BandCurve(*measurement_, *raw_);
}

bool TFormAnalysis::StillMade() const {
  if (!have_) return false;
  const FitCurve now = Current();
  return now.f == made_.f && now.r == made_.r && now.thetaDeg == made_.thetaDeg;
}

void TFormAnalysis::Tell(const QString& text) {
  Modal().Message(this, U(caption_), text, MsgIcon::Exclamation, MsgButtons::OK);
}

void TFormAnalysis::ShowResult(const FitCurve& made, const std::vector<QStringList>& rows, const QString& info,
                               const QString& notes, const QStringList& inputs, const QStringList& tips) {
  Table->setRowCount(0);
  for (const QStringList& cells : rows) {
    const int row = Table->rowCount();
    Table->insertRow(row);
    for (int c = 0; c < int(cells.size()) && c < Table->columnCount(); ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      // Names and units to the left, numbers to the right.
      if (c != 0 && c != 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (row < tips.size()) item->setToolTip(tips[row]);
      Table->setItem(row, c, item);
    }
  }
  InfoLabel->setText(info);
  NotesLabel->setText(notes);
  NotesLabel->setVisible(!notes.isEmpty());
  made_ = made;
  inputs_ = inputs;
  have_ = true;
  SaveButton->setEnabled(true);
  if (overlayChanged) overlayChanged();
}

void TFormAnalysis::Clear() {
  const bool had = have_;
  have_ = false;
  made_ = {};
  inputs_.clear();
  Forget();
  Table->setRowCount(0);
  InfoLabel->clear();
  NotesLabel->clear();
  NotesLabel->hide();
  SaveButton->setEnabled(false);
  if (had && overlayChanged) overlayChanged();
}

QString TFormAnalysis::OneLine(QString text) {
  for (QChar& c : text)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return text;
}

bool TFormAnalysis::Number(const QLineEdit* edit, double& value) {
  double v = 0;
  if (!ParseDecimal(edit->text(), v) || !(v > 0)) return false;
  value = v;
  return true;
}

bool TFormAnalysis::Optional(const QLineEdit* edit, double& value) {
  return edit->text().trimmed().isEmpty() || Number(edit, value);
}

QStringList TFormAnalysis::ValueRow(const ReportedValue& info, double value, double sigma) {
  QString v, s;
  FormatWithSigma(value * info.scale, sigma * info.scale, v, s);
  return {U(info.name), v, U("±") + s, U(info.unit)};
}

QString TFormAnalysis::ResidualText(const FitResult& fit, const std::function<QString(int role)>& roleName) {
  QStringList ranges;
  for (const FittedRange& range : fit.ranges)
    ranges << U("%1%2～%3 Hz")
                  .arg(fit.ranges.size() > 1 ? roleName(range.role) : QString())
                  .arg(range.fmin, 0, 'f', 0)
                  .arg(range.fmax, 0, 'f', 0);
  return U("残差 %1 %（%2、%3 点）%4")
      .arg(fit.residual * 100, 0, 'f', 2)
      .arg(ranges.join(U("、")))
      .arg(fit.points)
      .arg(fit.poor ? U(" 適合不良") : QString());
}

QString TFormAnalysis::SourceText(const QString& separator) const {
  const QString name = fileName_ && !fileName_->isEmpty() ? QFileInfo(*fileName_).fileName() : QStringLiteral("-");
  return OneLine(name) + separator + OneLine(measurement_ ? FromCp932(measurement_->dateTime) : QString());
}

void TFormAnalysis::SaveClick() {
  // A result belongs to the measurement it was made of.
  if (!StillMade()) return Clear();
  const std::vector<SaveType> types = SaveTypes();
  QStringList filter;
  for (const SaveType& t : types)
    filter << U("%1 (*%2)|*%2").arg(U(t.name), QLatin1String(t.extension));
  const QString source = fileName_ ? *fileName_ : QString();
  const QString first = QLatin1String(types.front().extension);
  const QString initial = source.isEmpty() ? QLatin1Char('*') + first
                                           : QFileInfo(source).path() + QLatin1Char('/') +
                                                 QFileInfo(source).completeBaseName() + SaveSuffix() + first;
  QString chosen;
  int type = 0;
  if (!Modal().SaveFileNameOfType(this, filter.join(QLatin1Char('|')), initial, chosen, type) || chosen.isEmpty())
    return;
  // A name typed with one type's extension is saved as that type; any other
  // gets the chosen type's extension by the rule of the main window's saves.
  if (type < 0 || type >= int(types.size())) type = 0;
  QString name = ForceExtension(chosen, QLatin1String(types[size_t(type)].extension));
  for (int t = 0; t < int(types.size()); ++t)
    if (ForceExtension(chosen, QLatin1String(types[size_t(t)].extension)) == chosen) type = t, name = chosen;
  // A device or FIFO named as it is (/dev/null) is written into, as
  // WriteWhole does, never a new file beside it with an extension.
  const QFileInfo existing(chosen);
  if (existing.exists() && !existing.isFile() && !existing.isDir()) name = chosen;
  QStringList shown = filesShown ? filesShown() : QStringList();
  shown << inputs_;
  if (!MaySaveTo(this, U(caption_), name, shown)) return;
  if (!WriteWhole(name, SaveBytes(type))) Tell(U("ファイル：") + name + U("を保存できませんでした"));
}

const PointValues* TFormAnalysis::Overlay(int32_t band) const {
  if (!isVisible() || !raw_ || !StillMade()) return nullptr;
  PointValues& values = *overlay_;
  values.Clear();
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    const double f = raw_->Freq[k] > 0 ? double(raw_->Freq[k]) : GridFrequency(k);
    std::complex<double> z;
    if (!OverlayAt(f, z) || !std::isfinite(z.real()) || !std::isfinite(z.imag())) continue;
    values.Freq[k] = float(f);
    values.R[k] = float(std::abs(z));
    values.Theta[k] = float(std::arg(z) * 180 / Pi);
  }
  values.valid = 1;
  return &values;
}

void TFormAnalysis::keyPressEvent(QKeyEvent* event) {
  if (!TakeAnalysisKey(*this, event, [this] { RunClick(); })) QWidget::keyPressEvent(event);
}

void TFormAnalysis::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Clear();
}

}  // namespace kavo
