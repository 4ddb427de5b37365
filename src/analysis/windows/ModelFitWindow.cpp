#include "analysis/windows/ModelFitWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <complex>

#include "analysis/FitModel.h"
#include "analysis/FitReport.h"
#include "analysis/windows/AnalysisTexts.h"
#include "data/Stringutil.h"
#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const char* const SecondFilter = "測定データ (*.DTA *.zma *.csv *.txt)|*.DTA;*.zma;*.csv;*.txt";
constexpr int TextType = 1;  // of SaveTypes()

}  // namespace

TFormFit::TFormFit(QWidget* parent) : TFormAnalysis(parent, "TFormFit", "モデル適合解析", "適合(&A)") {
  auto* grid = new QGridLayout(this);
  auto label = [this](const char* text, QWidget* buddy) { return Label(text, buddy); };
  auto edit = [this](int width) { return NumberEdit(width); };

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

  connect(BrowseButton, &QPushButton::clicked, this, &TFormFit::BrowseClick);
  // Every control by keyboard, top to bottom.
  FinishLayout(grid, 8, 4,
               {CoilCombo, CreepCheck, ReFixed, ReEdit, ReFitted, ReSigmaEdit, FminEdit, FmaxEdit, SdEdit, SecondCombo,
                SecondValue, SecondFile, BrowseButton},
               {U("パラメータ"), U("値"), U("±σ"), U("単位")}, 15);
  NotesLabel->setStyleSheet(QStringLiteral("color: #b00000"));  // warnings
  SecondChanged();
  resize(460, 720);
}

void TFormFit::SecondChanged() {
  const int kind = SecondCombo->currentIndex();
  SecondUnit->setText(kind == 1 ? U("g") : kind == 2 ? U("L") : QString());
  for (QWidget* w : {static_cast<QWidget*>(SecondValue), static_cast<QWidget*>(SecondFile),
                     static_cast<QWidget*>(BrowseButton)})
    w->setEnabled(kind != 0);
}

void TFormFit::BrowseClick() {
  QString path;
  if (Modal().OpenFileName(this, U("2回目の測定"), U(SecondFilter), QString(), path) && !path.isEmpty())
    SecondFile->setText(path);
}

bool TFormFit::Gather(FitInput& in) {
  in.free = Current();
  if (in.free.Empty()) return Tell(U("データがありません")), false;
  ParseCoilModel(CoilCombo->currentData().toString(), in.coil);
  in.creep = CreepCheck->isChecked();
  in.fitRe = ReFitted->isChecked();
  if (!in.fitRe && !Number(ReEdit, in.re)) return Tell(U("Re の値が正しくありません")), false;
  if (!in.fitRe && !ReSigmaEdit->text().trimmed().isEmpty()) {
    double sigma = 0;
    if (!ParseDecimal(ReSigmaEdit->text(), sigma) || !(sigma >= 0)) return Tell(U("Re の σ の値が正しくありません")), false;
    in.reSigma = sigma;
  }
  double v = 0;
  if (!Optional(FminEdit, in.fmin) || !Optional(FmaxEdit, in.fmax))
    return Tell(U("周波数範囲の値が正しくありません")), false;
  if (in.fmin > 0 && in.fmax > 0 && !(in.fmin < in.fmax)) return Tell(RangeReversedText()), false;
  if (!Optional(SdEdit, v)) return Tell(U("Sd の値が正しくありません")), false;
  in.sd = v * 1e-4;
  const int kind = SecondCombo->currentIndex();
  if (kind != 0) {
    if (!Number(SecondValue, v))
      return Tell(kind == 1 ? U("付加質量の値が正しくありません") : U("密閉箱の容積が正しくありません")), false;
    const QString name = SecondFile->text().trimmed();
    FitCurve second;
    QString why;
    if (const LoadFailure failure = ReadFitCurve(name, second, why); failure != LoadFailure::None)
      return Tell(FileFailureText(name, failure, why)), false;
    if (kind == 1) {
      in.addedMass = v * 1e-3;
      in.loaded = second;
    } else {
      in.boxVolume = v * 1e-3;
      in.boxed = second;
    }
  }
  return true;
}

void TFormFit::RunClick() {
  FitInput in;
  if (!Gather(in)) return;
  const FitResult r = FitDriver(in);
  if (!r.Ok()) {
    Clear();
    const QString text = FitFailureText(r);
    return Tell(r.failedCurve > 0 ? SecondFile->text() + U("：") + text : text);
  }
  result_ = r;
  modelName_ = ModelDescription(in.coil, in.creep);
  fittedSecond_ = SecondCombo->currentIndex() != 0 ? SecondFile->text().trimmed() : QString();
  ShowFit(in.free);
}

void TFormFit::ShowFit(const FitCurve& made) {
  std::vector<QStringList> rows;
  QStringList tips;
  for (size_t v = 0; v < result_.table.size(); ++v) {
    const ReportedValue& info = result_.table[v];
    if (!result_.has[v] || !info.listed) continue;
    rows.push_back(ValueRow(info, result_.value[v], result_.sigma[v]));
    // The total's three parts, for the row.
    QString parts[3];
    const double part[3] = {result_.sigmaStat[v], result_.sigmaModel[v], result_.sigmaInput[v]};
    for (int p = 0; p < 3; ++p) parts[p] = ValueRow(info, result_.value[v], part[p])[2].mid(1);
    tips << U("±σ の内訳　統計 ±%1、モデル ±%2、入力 ±%3 %4").arg(parts[0], parts[1], parts[2], U(info.unit)).trimmed();
  }
  QStringList warnings;
  for (const FitNotice& n : result_.warnings) warnings << FitWarningText(n);
  const QString info = ResidualText(
      result_, [](int role) { return U(role == 0 ? "フリー " : role == 1 ? "付加質量 " : "密閉箱 "); });
  ShowResult(made, rows, info, warnings.join(QLatin1Char('\n')),
             fittedSecond_.isEmpty() ? QStringList() : QStringList{fittedSecond_}, tips);
}

void TFormFit::Forget() {
  result_ = {};
  modelName_.clear();
  fittedSecond_.clear();
}

QByteArray TFormFit::TextHeader() const {
  QString model = modelName_;
  if (!fittedSecond_.isEmpty()) model += QStringLiteral(", with ") + OneLine(QFileInfo(fittedSecond_).fileName());
  QStringList ranges;
  for (const FittedRange& r : result_.ranges)
    ranges << (result_.ranges.size() > 1 ? QLatin1String(result_.model->CurveName(r.role)) + QLatin1Char(' ') : QString()) +
                  QStringLiteral("%1-%2 Hz").arg(r.fmin, 0, 'f', 0).arg(r.fmax, 0, 'f', 0);
  const QString lines = QStringLiteral("* KAVO model fit\n* source: %1\n* model: %2\n* range: %3\n")
                            .arg(SourceText(QStringLiteral("\n* date: ")), model, ranges.join(QStringLiteral(", ")));
  return lines.toUtf8();
}

std::vector<TFormAnalysis::SaveType> TFormFit::SaveTypes() const {
  return {{"ドライバファイル", ".wdr"}, {"テキストファイル", ".txt"}};
}

QByteArray TFormFit::SaveBytes(int type) const {
  // The driver file's Comment begins with the measurement it was fitted to.
  return type == TextType ? TextHeader() + FitTableText(result_)
                          : WdrText(result_, modelName_, {QString(), QString(), SourceText(QStringLiteral(" "))});
}

bool TFormFit::OverlayAt(double f, std::complex<double>& z) const {
  // Over the fitted range only: beyond it the model is extrapolated.
  if (f < result_.fmin * 0.999 || f > result_.fmax * 1.001) return false;
  z = result_.Impedance(f);
  return true;
}

void TFormFit::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Re is the one value there is no default for.
  if (ReEdit->isEnabled()) ReEdit->setFocus();
}

}  // namespace kavo
