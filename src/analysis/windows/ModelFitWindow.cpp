#include "analysis/windows/ModelFitWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <memory>

#include "analysis/windows/WindowKeys.h"
#include "analysis/Curves.h"
#include "analysis/FitModel.h"
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

const char* const Caption = "モデル適合解析";
const char* const SecondFilter = "測定データ (*.DTA *.zma *.csv *.txt)|*.DTA;*.zma;*.csv;*.txt";
// The types of 保存, in the order of the dialog's list.
const char* const SaveFilter = "ドライバファイル (*.wdr)|*.wdr|テキストファイル (*.txt)|*.txt";
const char* const SaveExtensions[] = {".wdr", ".txt"};
constexpr int TextType = 1;

// A file name or date for a line of a saved file: a control character (a
// line break in a file name) would start a line of its own there.
QString OneLine(QString text) {
  for (QChar& c : text)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return text;
}

// The name 保存 writes: a name typed with the extension of one of the types
// is saved as that type; any other gets the chosen type's extension by the
// rule of the main window's saves.
QString SaveName(const QString& typed, int& type) {
  if (type < 0 || type > TextType) type = 0;
  for (int t = 0; t <= TextType; ++t) {
    const QString ext = QLatin1String(SaveExtensions[t]);
    if (ForceExtension(typed, ext) == typed) {
      type = t;
      return typed;
    }
  }
  return ForceExtension(typed, QLatin1String(SaveExtensions[type]));
}

// A number typed as the Re window takes it, above 0; false for an empty or bad field.
bool Number(const QLineEdit* edit, double& value) {
  double v = 0;
  if (!ParseDecimal(edit->text(), v) || !(v > 0)) return false;
  value = v;
  return true;
}

}  // namespace

TFormFit::TFormFit(QWidget* parent) : QWidget(parent, Qt::Window), overlay_(std::make_unique<PointValues>()) {
  setObjectName(QStringLiteral("TFormFit"));
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

  CoilCombo = new QComboBox(this);
  CoilCombo->addItem(U("Le（インダクタンス）"), QStringLiteral("le"));
  CoilCombo->addItem(U("LR2（損失のあるコイル）"), QStringLiteral("lr2"));
  CoilCombo->addItem(U("セミインダクタンス"), QStringLiteral("semi"));
  CoilCombo->setCurrentIndex(2);
  CreepCheck = new QCheckBox(U("サスペンションのクリープ(&C)"), this);
  CreepCheck->setChecked(true);
  grid->addWidget(label("ボイスコイル(&V)", CoilCombo), 0, 0);
  grid->addWidget(CoilCombo, 0, 1, 1, 3);
  grid->addWidget(CreepCheck, 1, 1, 1, 3);

  ReFixed = new QRadioButton(U("Re 固定(&R)"), this);
  ReEdit = edit(70);
  ReFitted = new QRadioButton(U("Re も適合(&E)"), this);
  ReFixed->setChecked(true);
  grid->addWidget(ReFixed, 2, 0);
  grid->addWidget(ReEdit, 2, 1);
  grid->addWidget(new QLabel(U("Ω"), this), 2, 2);
  grid->addWidget(ReFitted, 2, 3);
  // What the Re typed carries: its σ, 1 % of it unless given.
  ReSigmaEdit = edit(70);
  ReSigmaEdit->setPlaceholderText(U("1 %"));
  grid->addWidget(label("Re の σ(&G)", ReSigmaEdit), 3, 0);
  grid->addWidget(ReSigmaEdit, 3, 1);
  grid->addWidget(new QLabel(U("Ω"), this), 3, 2);
  connect(ReFitted, &QRadioButton::toggled, ReEdit, &QLineEdit::setDisabled);
  connect(ReFitted, &QRadioButton::toggled, ReSigmaEdit, &QLineEdit::setDisabled);

  FminEdit = edit(70);
  FmaxEdit = edit(70);
  FminEdit->setPlaceholderText(U("自動"));
  FmaxEdit->setPlaceholderText(U("自動"));
  auto* range = new QHBoxLayout;
  range->addWidget(FminEdit);
  range->addWidget(new QLabel(U("～"), this));
  range->addWidget(FmaxEdit);
  range->addWidget(new QLabel(U("Hz"), this));
  range->addStretch();
  grid->addWidget(label("周波数範囲(&F)", FminEdit), 4, 0);
  grid->addLayout(range, 4, 1, 1, 3);

  SdEdit = edit(70);
  grid->addWidget(label("Sd(&S)", SdEdit), 5, 0);
  grid->addWidget(SdEdit, 5, 1);
  grid->addWidget(new QLabel(U("cm²"), this), 5, 2);

  SecondCombo = new QComboBox(this);
  SecondCombo->addItems({U("なし"), U("付加質量"), U("密閉箱")});
  SecondValue = edit(70);
  SecondUnit = new QLabel(this);
  SecondFile = new QLineEdit(this);
  BrowseButton = new QPushButton(U("参照(&B)..."), this);
  grid->addWidget(label("2回目の測定(&2)", SecondCombo), 6, 0);
  grid->addWidget(SecondCombo, 6, 1);
  auto* value = new QHBoxLayout;
  value->addWidget(SecondValue);
  value->addWidget(SecondUnit);
  value->addStretch();
  grid->addLayout(value, 6, 2, 1, 2);
  grid->addWidget(label("ファイル(&L)", SecondFile), 7, 0);
  grid->addWidget(SecondFile, 7, 1, 1, 2);
  grid->addWidget(BrowseButton, 7, 3);
  connect(SecondCombo, &QComboBox::currentIndexChanged, this, &TFormFit::SecondChanged);

  FitButton = new QPushButton(U("適合(&A)"), this);
  SaveButton = new QPushButton(U("保存(&P)..."), this);
  CloseButton = new QPushButton(U("閉じる"), this);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(FitButton);
  buttons->addWidget(SaveButton);
  buttons->addStretch();
  buttons->addWidget(CloseButton);
  grid->addLayout(buttons, 8, 0, 1, 4);

  Table = new QTableWidget(0, 4, this);
  Table->setHorizontalHeaderLabels({U("パラメータ"), U("値"), U("±σ"), U("単位")});
  Table->verticalHeader()->hide();
  Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // One Tab stop; the arrow keys move inside.
  Table->setTabKeyNavigation(false);
  Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  Table->verticalHeader()->setDefaultSectionSize(22);
  Table->setMinimumHeight(22 * 15 + 8);
  ResidualLabel = new QLabel(this);
  WarningsLabel = new QLabel(this);
  WarningsLabel->setWordWrap(true);
  WarningsLabel->setStyleSheet(QStringLiteral("color: #b00000"));
  grid->addWidget(Table, 9, 0, 1, 4);
  grid->addWidget(ResidualLabel, 10, 0, 1, 4);
  grid->addWidget(WarningsLabel, 11, 0, 1, 4);

  connect(BrowseButton, &QPushButton::clicked, this, &TFormFit::BrowseClick);
  connect(FitButton, &QPushButton::clicked, this, &TFormFit::FitClick);
  connect(SaveButton, &QPushButton::clicked, this, &TFormFit::SaveClick);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);

  // Every control by keyboard, top to bottom.
  QWidget* order[] = {CoilCombo,   CreepCheck,  ReFixed,    ReEdit,       ReFitted,  ReSigmaEdit,
                      FminEdit,    FmaxEdit,    SdEdit,     SecondCombo,  SecondValue, SecondFile,
                      BrowseButton, FitButton,  SaveButton, CloseButton,  Table};
  for (QWidget* w : order) w->setFocusPolicy(Qt::StrongFocus);
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);
  SecondChanged();
  SaveButton->setEnabled(false);
  resize(460, 720);
}

void TFormFit::SetSource(const PointValues* raw, const MeasureData* measurement, const QString* fileName,
                         double re) {
  raw_ = raw;
  measurement_ = measurement;
  fileName_ = fileName;
  if (re > 0 && ReEdit->text().isEmpty()) ReEdit->setText(QString::number(re, 'g', 6));
}

void TFormFit::SecondChanged() {
  const int kind = SecondCombo->currentIndex();
  SecondUnit->setText(kind == 1 ? U("g") : kind == 2 ? U("L") : QString());
  for (QWidget* w : {static_cast<QWidget*>(SecondValue), static_cast<QWidget*>(SecondFile),
                     static_cast<QWidget*>(BrowseButton)})
    w->setEnabled(kind != 0);
}

FitCurve TFormFit::Current() const {
  if (!raw_ || !measurement_ || measurement_->valid != 1) return {};
  return BandCurve(*measurement_, *raw_);
}

void TFormFit::Tell(const QString& text) {
  Modal().Message(this, U(Caption), text, MsgIcon::Exclamation, MsgButtons::OK);
}

void TFormFit::BrowseClick() {
  QString path;
  if (Modal().OpenFileName(this, U("2回目の測定"), U(SecondFilter), QString(), path) && !path.isEmpty())
    SecondFile->setText(path);
}

void TFormFit::FitClick() {
  FitInput in;
  in.free = Current();
  if (in.free.Empty()) return Tell(U("データがありません"));
  ParseCoilModel(CoilCombo->currentData().toString(), in.coil);
  in.creep = CreepCheck->isChecked();
  in.fitRe = ReFitted->isChecked();
  if (!in.fitRe && !Number(ReEdit, in.re)) return Tell(U("Re の値が正しくありません"));
  if (!in.fitRe && !ReSigmaEdit->text().trimmed().isEmpty()) {
    double sigma = 0;
    if (!ParseDecimal(ReSigmaEdit->text(), sigma) || !(sigma >= 0)) return Tell(U("Re の σ の値が正しくありません"));
    in.reSigma = sigma;
  }
  double v = 0;
  if (!FminEdit->text().trimmed().isEmpty() && !Number(FminEdit, in.fmin))
    return Tell(U("周波数範囲の値が正しくありません"));
  if (!FmaxEdit->text().trimmed().isEmpty() && !Number(FmaxEdit, in.fmax))
    return Tell(U("周波数範囲の値が正しくありません"));
  if (in.fmin > 0 && in.fmax > 0 && !(in.fmin < in.fmax)) return Tell(RangeReversedText());
  if (!SdEdit->text().trimmed().isEmpty()) {
    if (!Number(SdEdit, v)) return Tell(U("Sd の値が正しくありません"));
    in.sd = v * 1e-4;
  }
  const int kind = SecondCombo->currentIndex();
  if (kind != 0) {
    if (!Number(SecondValue, v))
      return Tell(kind == 1 ? U("付加質量の値が正しくありません") : U("密閉箱の容積が正しくありません"));
    const QString name = SecondFile->text().trimmed();
    FitCurve second;
    QString why;
    if (const LoadFailure failure = ReadFitCurve(name, second, why); failure != LoadFailure::None)
      return Tell(FileFailureText(name, failure, why));
    if (kind == 1) {
      in.addedMass = v * 1e-3;
      in.loaded = second;
    } else {
      in.boxVolume = v * 1e-3;
      in.boxed = second;
    }
  }
  const FitResult r = FitDriver(in);
  if (!r.Ok()) {
    Clear();
    const QString text = FitFailureText(r);
    return Tell(r.failedCurve > 0 ? SecondFile->text() + U("：") + text : text);
  }
  result_ = r;
  modelName_ = ModelDescription(in.coil, in.creep);
  fitted_ = in.free;
  fittedSecond_ = kind != 0 ? SecondFile->text().trimmed() : QString();
  haveModel_ = true;
  ShowResult();
  if (overlayChanged) overlayChanged();
}

void TFormFit::ShowResult() {
  Table->setRowCount(0);
  for (int v = 0; v < int(result_.table.size()); ++v) {
    if (!result_.has[size_t(v)] || !result_.table[size_t(v)].listed) continue;
    const ReportedValue& info = result_.table[size_t(v)];
    QString value, sigma;
    FormatWithSigma(result_.value[size_t(v)] * info.scale, result_.sigma[size_t(v)] * info.scale, value, sigma);
    const int row = Table->rowCount();
    Table->insertRow(row);
    const QString cells[] = {U(info.name), value, U("±") + sigma, U(info.unit)};
    // The total's three parts, for the row.
    QString parts[3];
    const double* part[3] = {&result_.sigmaStat[size_t(v)], &result_.sigmaModel[size_t(v)], &result_.sigmaInput[size_t(v)]};
    for (int p = 0; p < 3; ++p) {
      QString ignored;
      FormatWithSigma(result_.value[size_t(v)] * info.scale, *part[p] * info.scale, ignored, parts[p]);
    }
    const QString tip = U("±σ の内訳　統計 ±%1、モデル ±%2、入力 ±%3 %4")
                            .arg(parts[0], parts[1], parts[2], U(info.unit))
                            .trimmed();
    for (int c = 0; c < 4; ++c) {
      auto* item = new QTableWidgetItem(cells[c]);
      if (c == 1 || c == 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      item->setToolTip(tip);
      Table->setItem(row, c, item);
    }
  }
  // The range each curve was fitted over.
  QStringList ranges;
  for (const FittedRange& range : result_.ranges)
    ranges << U("%1%2～%3 Hz")
                  .arg(result_.ranges.size() > 1 ? U(range.role == 0 ? "フリー " : range.role == 1 ? "付加質量 " : "密閉箱 ")
                                                 : QString())
                  .arg(range.fmin, 0, 'f', 0)
                  .arg(range.fmax, 0, 'f', 0);
  ResidualLabel->setText(U("残差 %1 %（%2、%3 点）%4")
                             .arg(result_.residual * 100, 0, 'f', 2)
                             .arg(ranges.join(U("、")))
                             .arg(result_.points)
                             .arg(result_.poor ? U(" 適合不良") : QString()));
  QStringList warnings;
  for (const FitNotice& n : result_.warnings) warnings << FitWarningText(n);
  WarningsLabel->setText(warnings.join(QLatin1Char('\n')));
  SaveButton->setEnabled(true);
}

void TFormFit::Clear() {
  const bool had = haveModel_;
  haveModel_ = false;
  result_ = {};
  fitted_ = {};
  fittedSecond_.clear();
  Table->setRowCount(0);
  ResidualLabel->clear();
  WarningsLabel->clear();
  SaveButton->setEnabled(false);
  if (had && overlayChanged) overlayChanged();
}

QString TFormFit::SourceText(const QString& separator) const {
  const QString name = fileName_ && !fileName_->isEmpty() ? QFileInfo(*fileName_).fileName() : QStringLiteral("-");
  return OneLine(name) + separator + OneLine(measurement_ ? FromCp932(measurement_->dateTime) : QString());
}

std::string TFormFit::TextHeader() const {
  QString model = modelName_;
  if (!fittedSecond_.isEmpty()) model += QStringLiteral(", with ") + OneLine(QFileInfo(fittedSecond_).fileName());
  QStringList ranges;
  for (const FittedRange& r : result_.ranges)
    ranges << (result_.ranges.size() > 1 ? QLatin1String(result_.model->CurveName(r.role)) + QLatin1Char(' ') : QString()) +
                  QStringLiteral("%1-%2 Hz").arg(r.fmin, 0, 'f', 0).arg(r.fmax, 0, 'f', 0);
  const QString lines = QStringLiteral("* KAVO model fit\n* source: %1\n* model: %2\n* range: %3\n")
                            .arg(SourceText(QStringLiteral("\n* date: ")), model, ranges.join(QStringLiteral(", ")));
  return lines.toStdString();
}

void TFormFit::SaveClick() {
  // A fit belongs to the measurement it was made of.
  const FitCurve now = Current();
  if (!haveModel_ || now.f != fitted_.f || now.r != fitted_.r || now.thetaDeg != fitted_.thetaDeg) return Clear();
  const QString source = fileName_ ? *fileName_ : QString();
  const QString initial =
      source.isEmpty() ? QStringLiteral("*.wdr") : QFileInfo(source).path() + QLatin1Char('/') + QFileInfo(source).completeBaseName() + QStringLiteral(".wdr");
  QString chosen;
  int type = 0;
  if (!Modal().SaveFileNameOfType(this, U(SaveFilter), initial, chosen, type) || chosen.isEmpty()) return;
  const QString name = SaveName(chosen, type);
  QStringList shown = filesShown ? filesShown() : QStringList();
  if (!fittedSecond_.isEmpty()) shown << fittedSecond_;
  if (!MaySaveTo(this, U(Caption), name, shown)) return;
  // The driver file's Comment begins with the measurement it was fitted to.
  const QByteArray content = type == TextType
                                 ? QByteArray::fromStdString(TextHeader()) + FitTableText(result_)
                                 : WdrText(result_, modelName_, {QString(), QString(), SourceText(QStringLiteral(" "))});
  if (!WriteWhole(name, content)) Tell(U("ファイル：") + name + U("を保存できませんでした"));
}

const PointValues* TFormFit::Overlay(int32_t band) const {
  if (!haveModel_ || !isVisible()) return nullptr;
  const FitCurve now = Current();
  if (now.f != fitted_.f || now.r != fitted_.r || now.thetaDeg != fitted_.thetaDeg) return nullptr;
  PointValues& values = *overlay_;
  values.Clear();
  // Over the fitted range only: beyond it the model is extrapolated.
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    const double f = GridFrequency(k);
    if (f < result_.fmin * 0.999 || f > result_.fmax * 1.001) continue;
    const std::complex<double> z = result_.Impedance(f);
    values.Freq[k] = float(f);
    values.R[k] = float(std::abs(z));
    values.Theta[k] = float(std::arg(z) * 180 / M_PI);
  }
  values.valid = 1;
  return &values;
}

void TFormFit::keyPressEvent(QKeyEvent* event) {
  if (!TakeAnalysisKey(*this, event, [this] { FitClick(); })) QWidget::keyPressEvent(event);
}

void TFormFit::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Re is the one value there is no default for.
  if (ReEdit->isEnabled()) ReEdit->setFocus();
}

void TFormFit::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  Clear();
}

}  // namespace kavo
