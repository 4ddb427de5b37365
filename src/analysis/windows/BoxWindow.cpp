#include "analysis/windows/BoxWindow.h"

#include <QComboBox>
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
#include <utility>

#include "analysis/windows/WindowKeys.h"
#include "analysis/Curves.h"
#include "analysis/FitReport.h"
#include "analysis/windows/AnalysisTexts.h"
#include "data/DataSets.h"
#include "data/Stringutil.h"
#include "data/WholeFile.h"
#include "platform/desktop/Look.h"
#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const char* const Caption = "箱の解析";
const char* const FreeFilter = "測定データ (*.DTA *.zma *.csv *.txt)|*.DTA;*.zma;*.csv;*.txt";
const char* const DriverFilter = "ドライバファイル (*.wdr)|*.wdr";
const char* const SaveFilter = "テキストファイル (*.txt)|*.txt";
enum { FromFree, FromFile, FromTyped, FromNone };

QString OneLine(QString text) {
  for (QChar& c : text)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return text;
}

// An optional field: true when empty (value unchanged) or a number above 0.
bool Optional(const QLineEdit* edit, double& value) {
  const QString text = edit->text().trimmed();
  if (text.isEmpty()) return true;
  double v = 0;
  if (!ParseDecimal(text, v) || !(v > 0)) return false;
  value = v;
  return true;
}

}  // namespace

TFormBox::TFormBox(QWidget* parent) : QWidget(parent, Qt::Window), overlay_(std::make_unique<PointValues>()) {
  setObjectName(QStringLiteral("TFormBox"));
  setWindowTitle(U(Caption));
  setFont(ProgramFont(12));
  auto* grid = new QGridLayout(this);
  auto label = [this](const char* text, QWidget* buddy) {
    auto* l = new QLabel(U(text), this);
    l->setBuddy(buddy);
    return l;
  };
  auto edit = [this](int width) {
    auto* e = new QLineEdit(this);
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(width);
    return e;
  };
  auto unit = [this](const char* text) { return new QLabel(U(text), this); };

  KindCombo = new QComboBox(this);
  KindCombo->addItems({U("密閉箱"), U("バスレフ箱")});
  grid->addWidget(label("箱の形式(&K)", KindCombo), 0, 0);
  grid->addWidget(KindCombo, 0, 1, 1, 2);

  VbEdit = edit(70);
  grid->addWidget(label("箱の容積 Vb(&V)", VbEdit), 1, 0);
  grid->addWidget(VbEdit, 1, 1);
  grid->addWidget(unit("L"), 1, 2);

  ReEdit = edit(70);
  ReEdit->setPlaceholderText(U("適合"));
  grid->addWidget(label("Re(&R)", ReEdit), 2, 0);
  grid->addWidget(ReEdit, 2, 1);
  grid->addWidget(unit("Ω"), 2, 2);

  DriverCombo = new QComboBox(this);
  DriverCombo->addItems({U("フリーの測定"), U("ドライバファイル"), U("値を入力"), U("なし（箱の曲線だけ）")});
  grid->addWidget(label("ユニット(&D)", DriverCombo), 3, 0);
  grid->addWidget(DriverCombo, 3, 1, 1, 3);
  DriverFile = new QLineEdit(this);
  BrowseButton = new QPushButton(U("参照(&B)..."), this);
  grid->addWidget(label("ファイル(&L)", DriverFile), 4, 0);
  grid->addWidget(DriverFile, 4, 1, 1, 3);
  grid->addWidget(BrowseButton, 4, 4);

  FsEdit = edit(60);
  QmsEdit = edit(60);
  QesEdit = edit(60);
  QtsEdit = edit(60);
  VasEdit = edit(60);
  SdEdit = edit(60);
  auto* typed = new QGridLayout;
  const struct {
    const char* name;
    QLineEdit* edit;
    const char* unit;
  } values[] = {{"Fs(&S)", FsEdit, "Hz"}, {"Qms(&M)", QmsEdit, ""}, {"Qes(&E)", QesEdit, ""},
                {"Qts(&T)", QtsEdit, ""}, {"Vas(&A)", VasEdit, "L"}, {"Sd(&D)", SdEdit, "cm²"}};
  for (int i = 0; i < int(std::size(values)); ++i) {
    typed->addWidget(label(values[i].name, values[i].edit), i / 3, (i % 3) * 3);
    typed->addWidget(values[i].edit, i / 3, (i % 3) * 3 + 1);
    typed->addWidget(unit(values[i].unit), i / 3, (i % 3) * 3 + 2);
  }
  grid->addLayout(typed, 5, 0, 1, 5);
  connect(DriverCombo, &QComboBox::currentIndexChanged, this, &TFormBox::DriverChanged);

  FitButton = new QPushButton(U("適合(&F)"), this);
  SaveButton = new QPushButton(U("保存(&P)..."), this);
  CloseButton = new QPushButton(U("閉じる"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FitButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  grid->addLayout(buttons, 6, 0, 1, 5);

  Table = new QTableWidget(0, 6, this);
  Table->setHorizontalHeaderLabels({U("パラメータ"), U("値"), U("±σ"), U("単位"), U("簡易計算"), U("±σ")});
  Table->verticalHeader()->hide();
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  Table->setTabKeyNavigation(false);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Table->verticalHeader()->setDefaultSectionSize(22);
  Table->setMinimumHeight(22 * 13 + 8);
  ResidualLabel = new QLabel(this);
  NotesLabel = new QLabel(this);
  NotesLabel->setWordWrap(true);
  grid->addWidget(Table, 7, 0, 1, 5);
  grid->addWidget(ResidualLabel, 8, 0, 1, 5);
  grid->addWidget(NotesLabel, 9, 0, 1, 5);

  connect(BrowseButton, &QPushButton::clicked, this, &TFormBox::BrowseClick);
  connect(FitButton, &QPushButton::clicked, this, &TFormBox::FitClick);
  connect(SaveButton, &QPushButton::clicked, this, &TFormBox::SaveClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);

  QWidget* order[] = {KindCombo, VbEdit,  ReEdit, DriverCombo, DriverFile, BrowseButton, FsEdit,      QmsEdit,
                      QesEdit,   QtsEdit, VasEdit, SdEdit,     FitButton,  SaveButton,   CloseButton, Table};
  for (QWidget* w : order) w->setFocusPolicy(Qt::StrongFocus);
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  DriverChanged();
  SaveButton->setEnabled(false);
  resize(560, 640);
}

void TFormBox::SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName,
                         double re) {
  raw_ = raw;
  measurement_ = measurement;
  fileName_ = fileName;
  if (re > 0 && ReEdit->text().isEmpty()) ReEdit->setText(QString::number(re, 'g', 6));
}

void TFormBox::DriverChanged() {
  const int source = DriverCombo->currentIndex();
  DriverFile->setEnabled(source == FromFree || source == FromFile);
  BrowseButton->setEnabled(source == FromFree || source == FromFile);
  for (QLineEdit* e : {FsEdit, QmsEdit, QesEdit, QtsEdit, VasEdit}) e->setEnabled(source == FromTyped);
  SdEdit->setEnabled(source == FromFile);
}

FitCurve TFormBox::Current() const {
  if (!raw_ || !measurement_ || measurement_->valid != 1) return {};
  return BandCurve(*measurement_, *raw_);
}

bool TFormBox::StillFitted() const {
  if (!haveFit_) return false;
  const FitCurve now = Current();
  return now.f == fitted_.f && now.r == fitted_.r && now.thetaDeg == fitted_.thetaDeg;
}

void TFormBox::Tell(const QString& text) {
  Modal().Message(this, U(Caption), text, MsgIcon::Exclamation, MsgButtons::OK);
}

void TFormBox::BrowseClick() {
  const bool free = DriverCombo->currentIndex() == FromFree;
  QString path;
  if (Modal().OpenFileName(this, U(free ? "フリーの測定" : "ドライバファイル"), U(free ? FreeFilter : DriverFilter),
                           QString(), path) &&
      !path.isEmpty())
    DriverFile->setText(path);
}

bool TFormBox::Gather(BoxInput& in) {
  in.boxed = Current();
  if (in.boxed.Empty()) return Tell(U("データがありません")), false;
  in.kind = KindCombo->currentIndex() == 1 ? BoxKind::Vented : BoxKind::Closed;
  double litres = 0, sd = 0;
  if (!Optional(VbEdit, litres)) return Tell(U("箱の容積は0より大きな値にしてください")), false;
  in.vb = litres * 1e-3;
  if (!Optional(ReEdit, in.re)) return Tell(U("Re の値が正しくありません")), false;
  const int source = DriverCombo->currentIndex();
  const QString name = DriverFile->text().trimmed();
  if (source == FromFree) {
    in.source = DriverSource::Free;
    QString why;
    if (const LoadFailure failure = ReadFitCurve(name, in.free, why); failure != LoadFailure::None)
      return Tell(FileFailureText(name, failure, why)), false;
  } else if (source == FromFile) {
    in.source = DriverSource::File;
    if (!Optional(SdEdit, sd)) return Tell(U("Sd の値が正しくありません")), false;
    const LoadFailure failure = ReadDriverFile(name, in.driver, sd * 1e-4);
    if (failure == LoadFailure::NotData)
      return Tell(name + U("：ドライバファイルとして読めません（Fsと、Qms・Qes・Qtsのうち2つが必要です）")), false;
    if (failure != LoadFailure::None) return Tell(FileFailureText(name, failure, QString())), false;
  } else if (source == FromNone) {
    in.source = DriverSource::BoxOnly;
  } else {
    in.source = DriverSource::Typed;
    BoxDriver& d = in.driver;
    double vas = 0;
    const std::pair<QLineEdit*, double*> fields[] = {
        {FsEdit, &d.fs}, {QmsEdit, &d.qms}, {QesEdit, &d.qes}, {QtsEdit, &d.qts}, {VasEdit, &vas}};
    for (const auto& [field, value] : fields)
      if (!Optional(field, *value)) return Tell(U("ユニットの値が正しくありません")), false;
    d.vas = vas * 1e-3;
    if (!(d.qts > 0) && d.qms > 0 && d.qes > 0) d.qts = d.qms * d.qes / (d.qms + d.qes);
    if (!(d.fs > 0) || !(d.qts > 0)) return Tell(FitFailureText(FitFailure::BadDriver)), false;
    TypedDriverSigmas(d, 0);
  }
  return true;
}

void TFormBox::FitClick() {
  BoxInput in;
  if (!Gather(in)) return;
  BoxResult r = FitBox(in);
  if (!r.fit.Ok()) {
    Clear();
    const QString text = FitFailureText(r.fit);
    return Tell(r.fit.failedCurve == 0 ? DriverFile->text().trimmed() + U("：") + text : text);
  }
  result_ = std::move(r);
  fitted_ = in.boxed;
  fittedDriver_ = in.source == DriverSource::Free || in.source == DriverSource::File ? DriverFile->text().trimmed()
                                                                                    : QString();
  haveFit_ = true;
  ShowResult();
  if (overlayChanged) overlayChanged();
}

void TFormBox::ShowResult() {
  Table->setRowCount(0);
  const FitResult& fit = result_.fit;
  const std::vector<Estimate> classic = result_.Classic();
  for (int v = 0; v < int(fit.table.size()); ++v) {
    const ReportedValue& info = fit.table[size_t(v)];
    const Estimate& e = classic[size_t(v)];
    const bool fitted = fit.has[size_t(v)] && info.listed;
    if (!fitted && !(e.has && info.listed)) continue;
    QString value = U("---"), sigma, classicValue = U("---"), classicSigma;
    if (fitted) FormatWithSigma(fit.value[size_t(v)] * info.scale, fit.sigma[size_t(v)] * info.scale, value, sigma);
    if (e.has) FormatWithSigma(e.value * info.scale, e.sigma * info.scale, classicValue, classicSigma);
    const int row = Table->rowCount();
    Table->insertRow(row);
    const QString cells[] = {U(info.name),
                             value,
                             sigma.isEmpty() ? QString() : U("±") + sigma,
                             U(info.unit),
                             classicValue,
                             classicSigma.isEmpty() ? QString() : U("±") + classicSigma};
    for (int c = 0; c < 6; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c != 0 && c != 3) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Table->setItem(row, c, item);
    }
  }
  if (result_.vented.fTheta.has) {
    QString value, sigma;
    FormatWithSigma(result_.vented.fTheta.value, result_.vented.fTheta.sigma, value, sigma);
    const int row = Table->rowCount();
    Table->insertRow(row);
    const QString cells[] = {U("Fb (θ=0)"), QString(), QString(), U("Hz"), value, U("±") + sigma};
    for (int c = 0; c < 6; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c >= 4) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      Table->setItem(row, c, item);
    }
  }
  QStringList ranges;
  for (const FittedRange& range : fit.ranges)
    ranges << U("%1%2～%3 Hz")
                  .arg(fit.ranges.size() > 1 ? U(range.role == 0 ? "フリー " : "箱 ") : QString())
                  .arg(range.fmin, 0, 'f', 0)
                  .arg(range.fmax, 0, 'f', 0);
  ResidualLabel->setText(U("残差 %1 %（%2、%3 点）%4")
                             .arg(fit.residual * 100, 0, 'f', 2)
                             .arg(ranges.join(U("、")))
                             .arg(fit.points)
                             .arg(fit.poor ? U(" 適合不良") : QString()));
  QStringList lines{DriverSourceText(result_.source)};
  for (BoxNote n : result_.notes) lines << BoxNoteText(n);
  for (const FitNotice& n : fit.warnings) lines << U("警告: ") + FitWarningText(n);
  NotesLabel->setText(lines.join(QLatin1Char('\n')));
  SaveButton->setEnabled(true);
}

void TFormBox::Clear() {
  const bool had = haveFit_;
  haveFit_ = false;
  result_ = {};
  fitted_ = {};
  fittedDriver_.clear();
  Table->setRowCount(0);
  ResidualLabel->clear();
  NotesLabel->clear();
  SaveButton->setEnabled(false);
  if (had && overlayChanged) overlayChanged();
}

void TFormBox::SaveClick() {
  // A fit belongs to the measurement it was made of.
  if (!StillFitted()) return Clear();
  const QString source = fileName_ ? *fileName_ : QString();
  const QString initial = source.isEmpty() ? QStringLiteral("*.txt")
                                           : QFileInfo(source).path() + QLatin1Char('/') +
                                                 QFileInfo(source).completeBaseName() + QStringLiteral("_box.txt");
  QString chosen;
  int type = 0;
  if (!Modal().SaveFileNameOfType(this, U(SaveFilter), initial, chosen, type) || chosen.isEmpty()) return;
  const QString name = ForceExtension(chosen, QStringLiteral(".txt"));
  QStringList shown = filesShown ? filesShown() : QStringList();
  if (!fittedDriver_.isEmpty()) shown << fittedDriver_;
  if (!MaySaveTo(this, U(Caption), name, shown)) return;
  const QString measured = fileName_ && !fileName_->isEmpty() ? QFileInfo(*fileName_).fileName() : QStringLiteral("-");
  QString header = QStringLiteral("* KAVO box fit\n* source: %1\n* date: %2\n* box: %3\n* driver: %4\n")
                       .arg(OneLine(measured), OneLine(measurement_ ? FromCp932(measurement_->dateTime) : QString()),
                            QLatin1String(result_.kind == BoxKind::Closed ? "closed" : "vented"),
                            fittedDriver_.isEmpty() ? QString::fromLatin1(result_.source == DriverSource::Typed ? "typed" : "none")
                                                    : OneLine(QFileInfo(fittedDriver_).fileName()));
  if (!WriteWhole(name, header.toUtf8() + BoxTableText(result_)))
    Tell(U("ファイル：") + name + U("を保存できませんでした"));
}

const PointValues* TFormBox::Overlay(int32_t band) const {
  if (!isVisible() || !StillFitted()) return nullptr;
  PointValues& values = *overlay_;
  values.Clear();
  // Over the box curve's fitted range only: beyond it the model is extrapolated.
  double fmin = 0, fmax = 0;
  for (const FittedRange& range : result_.fit.ranges)
    if (range.role == 1) fmin = range.fmin, fmax = range.fmax;
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    const double f = GridFrequency(k);
    if (f < fmin * 0.999 || f > fmax * 1.001) continue;
    const std::complex<double> z = result_.SystemImpedance(f);
    if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) continue;
    values.Freq[k] = float(f);
    values.R[k] = float(std::abs(z));
    values.Theta[k] = float(std::arg(z) * 180 / M_PI);
  }
  values.valid = 1;
  return &values;
}

void TFormBox::keyPressEvent(QKeyEvent* event) {
  if (!TakeAnalysisKey(*this, event, [this] { FitClick(); })) QWidget::keyPressEvent(event);
}

void TFormBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  VbEdit->setFocus();
}

void TFormBox::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Clear();
}

}  // namespace kavo
