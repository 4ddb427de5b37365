#include "analysis/windows/BoxWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <complex>
#include <utility>

#include "analysis/FitReport.h"
#include "analysis/windows/AnalysisTexts.h"
#include "data/Stringutil.h"
#include "platform/desktop/Modal.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

const char* const FreeFilter = "測定データ (*.DTA *.zma *.csv *.txt)|*.DTA;*.zma;*.csv;*.txt";
const char* const DriverFilter = "ドライバファイル (*.wdr)|*.wdr";
enum { FromFree, FromFile, FromTyped, FromNone };

}  // namespace

TFormBox::TFormBox(QWidget* parent) : TFormAnalysis(parent, "TFormBox", "箱の解析", "適合(&F)") {
  auto* grid = new QGridLayout(this);
  auto label = [this](const char* text, QWidget* buddy) { return Label(text, buddy); };
  auto edit = [this](int width) { return NumberEdit(width); };
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
                {"Qts(&T)", QtsEdit, ""}, {"Vas(&A)", VasEdit, "L"}, {"Sd(&C)", SdEdit, "cm²"}};
  for (int i = 0; i < int(std::size(values)); ++i) {
    typed->addWidget(label(values[i].name, values[i].edit), i / 3, (i % 3) * 3);
    typed->addWidget(values[i].edit, i / 3, (i % 3) * 3 + 1);
    typed->addWidget(unit(values[i].unit), i / 3, (i % 3) * 3 + 2);
  }
  grid->addLayout(typed, 5, 0, 1, 5);
  connect(DriverCombo, &QComboBox::currentIndexChanged, this, &TFormBox::DriverChanged);

  connect(BrowseButton, &QPushButton::clicked, this, &TFormBox::BrowseClick);
  FinishLayout(grid, 6, 5,
               {KindCombo, VbEdit, ReEdit, DriverCombo, DriverFile, BrowseButton, FsEdit, QmsEdit, QesEdit, QtsEdit,
                VasEdit, SdEdit},
               {U("パラメータ"), U("値"), U("±σ"), U("単位"), U("簡易計算"), U("±σ")}, 13);
  DriverChanged();
  resize(560, 640);
}

void TFormBox::DriverChanged() {
  const int source = DriverCombo->currentIndex();
  DriverFile->setEnabled(source == FromFree || source == FromFile);
  BrowseButton->setEnabled(source == FromFree || source == FromFile);
  for (QLineEdit* e : {FsEdit, QmsEdit, QesEdit, QtsEdit, VasEdit}) e->setEnabled(source == FromTyped);
  SdEdit->setEnabled(source == FromFile);
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
  // "abc", "1,5" and "1e308" as much as "0": the same rule for each.
  if (!Optional(VbEdit, litres) || litres * 1e-3 > MaxBoxVolume)
    return Tell(U("箱の容積 Vb は 0 より大きく 10000 L 以下の数で入力してください（小数点は「.」）")), false;
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

void TFormBox::RunClick() {
  BoxInput in;
  if (!Gather(in)) return;
  BoxResult r = FitBox(in);
  if (!r.fit.Ok()) {
    Clear();
    const QString text = FitFailureText(r.fit);
    return Tell(r.fit.failedCurve == 0 ? DriverFile->text().trimmed() + U("：") + text : text);
  }
  result_ = std::move(r);
  fittedDriver_ = in.source == DriverSource::Free || in.source == DriverSource::File ? DriverFile->text().trimmed()
                                                                                    : QString();
  ShowFit(in.boxed);
}

void TFormBox::ShowFit(const FitCurve& made) {
  const FitResult& fit = result_.fit;
  const std::vector<Estimate> classic = result_.Classic();
  std::vector<QStringList> rows;
  for (size_t v = 0; v < fit.table.size(); ++v) {
    const ReportedValue& info = fit.table[v];
    const Estimate& e = classic[v];
    const bool fitted = fit.has[v] && info.listed;
    if (!fitted && !(e.has && info.listed)) continue;
    QStringList row = fitted ? ValueRow(info, fit.value[v], fit.sigma[v])
                             : QStringList{U(info.name), U("---"), QString(), U(info.unit)};
    if (e.has) {
      const QStringList estimate = ValueRow(info, e.value, e.sigma);
      row << estimate[1] << estimate[2];
    } else {
      row << U("---") << QString();
    }
    rows.push_back(row);
  }
  if (const Estimate& e = result_.vented.fTheta; e.has) {
    QString value, sigma;
    FormatWithSigma(e.value, e.sigma, value, sigma);
    rows.push_back({U("Fb (θ=0)"), QString(), QString(), U("Hz"), value, U("±") + sigma});
  }
  QStringList notes{DriverSourceText(result_.source)};
  for (BoxNote n : result_.notes) notes << BoxNoteText(n);
  for (const FitNotice& n : fit.warnings) notes << U("警告: ") + FitWarningText(n);
  const QString info = ResidualText(fit, [](int role) { return U(role == 0 ? "フリー " : "箱 "); });
  ShowResult(made, rows, info, notes.join(QLatin1Char('\n')),
             fittedDriver_.isEmpty() ? QStringList() : QStringList{fittedDriver_});
}

void TFormBox::Forget() {
  result_ = {};
  fittedDriver_.clear();
}

std::vector<TFormAnalysis::SaveType> TFormBox::SaveTypes() const { return {{"テキストファイル", ".txt"}}; }

QByteArray TFormBox::SaveBytes(int) const {
  const QString driver = fittedDriver_.isEmpty()
                             ? QString::fromLatin1(result_.source == DriverSource::Typed ? "typed" : "none")
                             : OneLine(QFileInfo(fittedDriver_).fileName());
  const QString header = QStringLiteral("* KAVO box fit\n* source: %1\n* box: %2\n* driver: %3\n")
                             .arg(SourceText(QStringLiteral("\n* date: ")),
                                  QLatin1String(result_.kind == BoxKind::Closed ? "closed" : "vented"), driver);
  return header.toUtf8() + BoxTableText(result_);
}

bool TFormBox::OverlayAt(double f, std::complex<double>& z) const {
  // Over the box curve's fitted range only: beyond it the model is extrapolated.
  double fmin = 0, fmax = 0;
  for (const FittedRange& range : result_.fit.ranges)
    if (range.role == 1) fmin = range.fmin, fmax = range.fmax;
  if (f < fmin * 0.999 || f > fmax * 1.001) return false;
  z = result_.SystemImpedance(f);
  return true;
}

void TFormBox::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  VbEdit->setFocus();
}

}  // namespace kavo
