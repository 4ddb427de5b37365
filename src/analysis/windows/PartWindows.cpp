#include "analysis/windows/PartWindows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "analysis/FitReport.h"
#include "analysis/windows/AnalysisTexts.h"
#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

bool Empty(const QLineEdit* edit) { return edit->text().trimmed().isEmpty(); }

// A component's row: name, value, ±σ, unit, standard value.
QStringList ComponentRow(const CompComponent& c) {
  QString v, s;
  FormatWithSigma(c.value * c.scale, c.sigma * c.scale, v, s);
  return {U(c.name), v, U("±") + s, U(c.unit), QString::fromLatin1(StandardValueText(c.standard * c.scale))};
}

const char* KindText(PartKind kind) {
  switch (kind) {
    case PartKind::Inductor: return "インダクタ";
    case PartKind::Capacitor: return "コンデンサ";
    case PartKind::Resistor: return "抵抗";
    case PartKind::Auto: break;
  }
  return "";
}

}  // namespace

// ---- 部品の測定 ----

TFormPart::TFormPart(QWidget* parent) : TFormAnalysis(parent, "TFormPart", "部品の測定", "測定(&A)") {
  auto* grid = new QGridLayout(this);
  KindCombo = new QComboBox(this);
  KindCombo->addItem(U("自動（θ から判定）"), QStringLiteral("auto"));
  KindCombo->addItem(U("インダクタ"), QStringLiteral("inductor"));
  KindCombo->addItem(U("コンデンサ"), QStringLiteral("capacitor"));
  KindCombo->addItem(U("抵抗"), QStringLiteral("resistor"));
  auto* kind = new QLabel(U("部品(&K)"), this);
  kind->setBuddy(KindCombo);
  grid->addWidget(kind, 0, 0);
  grid->addWidget(KindCombo, 0, 1, 1, 3);
  AtEdit = new QLineEdit(this);
  AtEdit->setAlignment(Qt::AlignRight);
  AtEdit->setFixedWidth(80);
  AtEdit->setPlaceholderText(U("なし"));
  auto* at = new QLabel(U("値を求める周波数(&T)"), this);
  at->setBuddy(AtEdit);
  grid->addWidget(at, 1, 0);
  grid->addWidget(AtEdit, 1, 1);
  grid->addWidget(new QLabel(U("Hz"), this), 1, 2);
  FinishLayout(grid, 2, 4, {KindCombo, AtEdit}, {U("パラメータ"), U("値"), U("±σ"), U("単位")}, 9);
  resize(420, 420);
}

void TFormPart::RunClick() {
  PartInput in;
  in.curve = Current();
  if (in.curve.Empty()) return Tell(U("データがありません"));
  ParsePartKind(KindCombo->currentData().toString(), in.kind);
  double at = 0;
  if (!Empty(AtEdit)) {
    if (!Number(AtEdit, at)) return Tell(U("周波数の値が正しくありません"));
    in.atHz.push_back(at);
  }
  const PartResult r = MeasurePart(in);
  if (!r.Ok()) {
    Clear();
    QString text = PartFailureText(r.failure);
    if (r.failure == PartFailure::TooFewResolvable && r.suggestedBand > 0)
      text += U("。%1～%2 Hz の帯域で測定してください").arg(r.suggestedLow, 0, 'f', 0).arg(r.suggestedHigh, 0, 'f', 0);
    return Tell(text);
  }
  result_ = r;
  std::vector<QStringList> rows;
  for (size_t v = 0; v < r.fit.table.size(); ++v) {
    const ReportedValue& info = r.fit.table[v];
    const bool asked = v >= r.atFirst;
    if (!r.fit.has[v] || (!info.listed && !asked)) continue;
    rows.push_back(ValueRow(info, r.fit.value[v], r.fit.sigma[v]));
  }
  QString info = U("%1%2、残差 %3 %").arg(U(KindText(r.kind)), r.recognised ? U("（θ から判定）") : QString())
                     .arg(r.fit.residual * 100, 0, 'f', 2);
  if (r.leftOut > 0) info += U("\n本器が分解できない %1 点（全 %2 点）を除きました").arg(r.leftOut).arg(r.pointsGiven);
  for (const FitNotice& n : r.fit.warnings) info += QLatin1Char('\n') + FitWarningText(n);
  ShowResult(in.curve, rows, info, QString());
}

bool TFormPart::OverlayAt(double f, std::complex<double>& z) const {
  // Over the points fitted only.
  if (f < result_.fit.fmin * 0.999 || f > result_.fit.fmax * 1.001) return false;
  z = result_.fit.Impedance(f);
  return true;
}

std::vector<TFormAnalysis::SaveType> TFormPart::SaveTypes() const {
  return {{"テキストファイル", ".txt"}, {"ZMA ファイル（適合した部品）", ".zma"}};
}

QByteArray TFormPart::SaveBytes(int type) const {
  if (type == 1) {
    // The fitted part's impedance at the measured frequencies it was fitted
    // over, for crossover programs: plain ASCII, points whatever the locale.
    QByteArray out = "* KAVO fitted part: " + QByteArray(PartKindName(result_.kind)) + '\n';
    out += "* source: " + SourceText(QStringLiteral("\n* date: ")).toUtf8() + '\n';
    out += "* frequency [Hz]  magnitude [ohm]  phase [deg]\n";
    for (double f : Current().f) {
      if (f < result_.fit.fmin * 0.999 || f > result_.fit.fmax * 1.001) continue;
      const std::complex<double> z = result_.fit.Impedance(f);
      if (!std::isfinite(std::abs(z)) || !std::isfinite(std::arg(z))) continue;
      out += QByteArray::number(f, 'f', 4) + ' ' + QByteArray::number(std::abs(z), 'f', 4) + ' ' +
             QByteArray::number(std::arg(z) * 180 / M_PI, 'f', 3) + '\n';
    }
    return out;
  }
  const QString header = QStringLiteral("* KAVO part\n* source: %1\n* kind: %2\n")
                             .arg(SourceText(QStringLiteral("\n* date: ")), QLatin1String(PartKindName(result_.kind)));
  return header.toUtf8() + FitTableText(result_.fit);
}

void TFormPart::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  RunButton->setFocus();
}

// ---- インピーダンス補正 ----

TFormComp::TFormComp(QWidget* parent) : TFormAnalysis(parent, "TFormComp", "インピーダンス補正", "設計(&A)") {
  auto* grid = new QGridLayout(this);
  auto label = [this](const char* text, QWidget* buddy) { return Label(text, buddy); };
  auto edit = [this](int width) { return NumberEdit(width); };
  DriverCombo = new QComboBox(this);
  DriverCombo->addItems({U("Re を入力（モデル適合で Fs・Qms・Qes）"), U("ドライバファイル (.wdr)")});
  grid->addWidget(label("ユニット(&D)", DriverCombo), 0, 0);
  grid->addWidget(DriverCombo, 0, 1, 1, 3);
  ReEdit = edit(70);
  grid->addWidget(label("Re(&R)", ReEdit), 1, 0);
  grid->addWidget(ReEdit, 1, 1);
  grid->addWidget(new QLabel(U("Ω"), this), 1, 2);
  DriverFile = new QLineEdit(this);
  BrowseButton = new QPushButton(U("参照(&B)..."), this);
  auto* file = new QHBoxLayout;
  file->addWidget(DriverFile, 1);
  file->addWidget(BrowseButton);
  grid->addWidget(label("ファイル(&L)", DriverFile), 2, 0);
  grid->addLayout(file, 2, 1, 1, 3);
  connect(DriverCombo, &QComboBox::currentIndexChanged, this, &TFormComp::DriverChanged);
  connect(BrowseButton, &QPushButton::clicked, this, &TFormComp::BrowseClick);
  ZobelCheck = new QCheckBox(U("ゾベル(&Z)"), this);
  NotchCheck = new QCheckBox(U("ノッチ(&N)"), this);
  ZobelCheck->setChecked(true);
  NotchCheck->setChecked(true);
  auto* networks = new QHBoxLayout;
  networks->addWidget(ZobelCheck);
  networks->addWidget(NotchCheck);
  networks->addStretch();
  grid->addLayout(networks, 3, 1, 1, 3);
  LowEdit = edit(70);
  HighEdit = edit(70);
  LowEdit->setPlaceholderText(U("3×Fs"));
  HighEdit->setPlaceholderText(U("上端"));
  auto* band = new QHBoxLayout;
  band->addWidget(LowEdit);
  band->addWidget(new QLabel(U("～"), this));
  band->addWidget(HighEdit);
  band->addWidget(new QLabel(U("Hz"), this));
  band->addStretch();
  grid->addWidget(label("平坦化する帯域(&F)", LowEdit), 4, 0);
  grid->addLayout(band, 4, 1, 1, 3);
  SeriesCombo = new QComboBox(this);
  SeriesCombo->addItem(U("L・C は E12、R は E24"));
  SeriesCombo->addItem(U("すべて E12"));
  SeriesCombo->addItem(U("すべて E24"));
  SeriesCombo->addItem(U("計算値のまま"));
  grid->addWidget(label("標準値(&E)", SeriesCombo), 5, 0);
  grid->addWidget(SeriesCombo, 5, 1, 1, 3);
  PowerEdit = edit(70);
  PowerEdit->setText(QStringLiteral("10"));
  grid->addWidget(label("入力電力(&W)", PowerEdit), 6, 0);
  grid->addWidget(PowerEdit, 6, 1);
  grid->addWidget(new QLabel(U("W（公称インピーダンスに）"), this), 6, 2, 1, 2);
  FinishLayout(grid, 7, 4,
               {DriverCombo, ReEdit, DriverFile, BrowseButton, ZobelCheck, NotchCheck, LowEdit, HighEdit, SeriesCombo,
                PowerEdit},
               {U("素子"), U("値"), U("±σ"), U("単位"), U("標準値")}, 9);
  DriverChanged();
  resize(480, 580);
}

void TFormComp::DriverChanged() {
  const bool file = DriverCombo->currentIndex() == 1;
  ReEdit->setEnabled(!file);
  DriverFile->setEnabled(file);
  BrowseButton->setEnabled(file);
}

void TFormComp::BrowseClick() {
  QString path;
  if (Modal().OpenFileName(this, U("ドライバファイル"), U("ドライバファイル (*.wdr)|*.wdr"), QString(), path) &&
      !path.isEmpty())
    DriverFile->setText(path);
}

bool TFormComp::ReadDriver(CompensationInput& in) {
  const QString name = DriverFile->text().trimmed();
  if (name.isEmpty()) return Tell(U("ドライバファイルを選んでください")), false;
  const LoadFailure failure = ReadDriverFile(name, in.driver);
  // The design needs Re as well as the file's Fs and Q values.
  if (failure == LoadFailure::NotData || (failure == LoadFailure::None && !(in.driver.re > 0)))
    return Tell(name + U("：ドライバファイルとして読めません（Re、Fs と、Qms・Qes・Qts のうち2つが必要です）")), false;
  if (failure != LoadFailure::None) return Tell(FileFailureText(name, failure, QString())), false;
  in.haveDriver = true;
  return true;
}

void TFormComp::RunClick() {
  CompensationInput in;
  in.curve = Current();
  if (in.curve.Empty()) return Tell(U("データがありません"));
  const bool fromFile = DriverCombo->currentIndex() == 1;
  if (fromFile ? !ReadDriver(in) : !Number(ReEdit, in.re)) {
    if (!fromFile) Tell(U("Re の値が正しくありません"));
    return;
  }
  in.zobel = ZobelCheck->isChecked();
  in.notch = NotchCheck->isChecked();
  if (!in.zobel && !in.notch) return Tell(U("ゾベルかノッチを選んでください"));
  if ((!Empty(LowEdit) && !Number(LowEdit, in.bandLow)) || (!Empty(HighEdit) && !Number(HighEdit, in.bandHigh)))
    return Tell(U("周波数範囲の値が正しくありません"));
  if (in.bandLow > 0 && in.bandHigh > 0 && !(in.bandLow < in.bandHigh)) return Tell(RangeReversedText());
  if (!Number(PowerEdit, in.powerW)) return Tell(U("入力電力の値が正しくありません"));
  const ESeries series[] = {ESeries::Default, ESeries::E12, ESeries::E24, ESeries::Exact};
  in.series = series[std::clamp(SeriesCombo->currentIndex(), 0, 3)];
  const CompensationResult r = DesignCompensation(in);
  if (!r.Ok()) {
    Clear();
    return Tell(CompFailureText(r));
  }
  result_ = r;
  exact_ = in.series == ESeries::Exact;
  std::vector<QStringList> rows;
  for (const CompComponent& c : r.parts)
    rows.push_back(ComponentRow(c));
  QString info = U("平坦度（%1～%2 Hz、Re %3 Ω からの最大のずれ）:\n計算値 %4 %、標準値 %5 %")
                     .arg(r.bandLow, 0, 'f', 0)
                     .arg(r.bandHigh, 0, 'f', 0)
                     .arg(r.driver.re, 0, 'g', 4)
                     .arg(r.flatnessExact, 0, 'f', 1)
                     .arg(r.flatnessStandard, 0, 'f', 1);
  if (r.Part("Rz")) info += U("\nRz の電力 %1 W").arg(r.zobelPowerW, 0, 'f', 2);
  if (r.Part("Rz2")) info += U("、Rz2 の電力 %1 W").arg(r.zobelPower2W, 0, 'f', 2);
  info += U("\nFs %1 Hz、Qms %2、Qes %3").arg(r.driver.fs, 0, 'f', 1).arg(r.driver.qms, 0, 'f', 2).arg(r.driver.qes, 0, 'f', 3);
  // The driver file is an input: a save never replaces it.
  const QString driverFile = fromFile ? DriverFile->text().trimmed() : QString();
  // Why there are two Zobel stages, and a band the design could not bring
  // within its aim, are said rather than left to be read from the figures.
  QStringList notes;
  if (r.Part("Rz2")) notes << U("一段のゾベルでは帯域が ±10 % に収まらないため、二段目を加えました");
  if (r.flatnessExact > 10) notes << U("計算値でも帯域の平坦度が目標の ±10 % を超えています");
  if (fromFile) notes << U("ドライバファイル：") + OneLine(driverFile);
  ShowResult(in.curve, rows, info, notes.join(QLatin1Char('\n')), fromFile ? QStringList{driverFile} : QStringList());
  driverFile_ = driverFile;
}

bool TFormComp::OverlayAt(double f, std::complex<double>& z) const {
  const auto it = std::lower_bound(result_.f.begin(), result_.f.end(), f * (1 - 1e-6));
  if (it == result_.f.end() || std::abs(*it / f - 1) > 1e-6) return false;
  z = result_.standard[size_t(it - result_.f.begin())];
  return true;
}

std::vector<TFormAnalysis::SaveType> TFormComp::SaveTypes() const {
  return {{"テキストファイル", ".txt"}, {"ZMA ファイル", ".zma"}};
}

QByteArray TFormComp::SaveBytes(int type) const {
  if (type == 1) return CompensatedZma(result_, exact_, fileName_ ? *fileName_ : QString());
  const QString driver = driverFile_.isEmpty()
                             ? QStringLiteral("Re %1 ohm").arg(QString::number(result_.driver.re, 'g', 6))
                             : OneLine(QFileInfo(driverFile_).fileName());
  const QString header = QStringLiteral("* KAVO impedance compensation\n* source: %1\n* driver: %2\n")
                             .arg(SourceText(QStringLiteral("\n* date: ")), driver);
  return header.toUtf8() + CompensationText(result_);
}

void TFormComp::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (DriverCombo->currentIndex() == 0 && ReEdit->text().isEmpty()) ReEdit->setFocus();
  else RunButton->setFocus();
}

}  // namespace kavo
