// Main window, quality check: "参照データ" → "許容範囲を表示..." loads a .kqc
// file and draws its band around its reference on the graph; from then on a
// finished measurement or an opened file shows "合格" or "不合格" with the
// first reason in the status bar.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "analysis/QualityCheck.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"
#include "graph/ToleranceBand.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "platform/Look.h"
#include "platform/Modal.h"
#include "shell/Kavo_main.h"

namespace kavo {

// The rules in force, their reference and its band.
struct QcWindowState {
  QcRules rules;
  QcMeasurement reference;
  QcBand band;
};

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

constexpr int VerdictPanel = 1;

// A .DTA file or a table, converted as the window holds a measurement.
bool ReadCurve(const KAVO_File& files, const QString& path, MeasureData& data, PointValues& raw, QString& why) {
  PointValues ave;
  std::string serial;
  if (IsTableFileName(path)) {
    if (!LoadTable(path, 0, data, why)) return false;
  } else if (!files.ReadDataFile(path, &serial, nullptr, &data)) {
    why = U("データファイルの内容が正しくありませんでした");
    return false;
  }
  if (!files.ConvertData(&data, &raw, &ave)) {
    why = U("データエラーで計算できませんでした");
    return false;
  }
  data.valid = 1;
  return true;
}

}  // namespace

void TFormMain::mSetupQc() {
  MenuRef_Tolerance = new QAction(U("許容範囲を表示(&T)..."), this);
  MenuRef_Tolerance->setObjectName(QStringLiteral("MenuRef_Tolerance"));
  MenuRef->addAction(MenuRef_Tolerance);
  connect(MenuRef_Tolerance, &QAction::triggered, this, &TFormMain::MenuRef_ToleranceClick);
}

void TFormMain::MenuRef_ToleranceClick() {
  QString path;
  if (!Modal().OpenFileName(this, U("許容範囲ファイルを選んでください"), U("許容範囲ファイル(*.kqc)|*.kqc"), U("*.kqc"),
                            path) ||
      path.isEmpty())
    return;
  auto refuse = [this, &path](const QString& why) {
    Modal().Message(this, msgCatalog->Caption(), path + QLatin1Char('\n') + why, MsgIcon::Exclamation, MsgButtons::OK);
  };
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return refuse(U("ファイルを読めません"));
  auto state = std::make_shared<QcWindowState>();
  QcRuleError error;
  if (!ParseQcRules(QString::fromUtf8(file.read(1 << 20)), state->rules, error, true))
    return refuse(error.line > 0 ? U("%1行目: %2").arg(error.line).arg(error.reason) : error.reason);
  const QcAnalysis analysis{state->rules.re, state->rules.NeedsFit(), true};
  if (state->rules.meanReference) {
    // The mean of the reference data sets on the graph.
    std::vector<QcMeasurement> refs;
    for (int k = 0; k < MaxRefs; ++k)
      if (refData[k].valid) refs.push_back(MeasureDriver(refData[k], refRawValues[k], analysis));
    if (refs.empty()) return refuse(U("平均を参照にするには参照データを開いてください"));
    std::vector<const QcMeasurement*> set;
    for (const QcMeasurement& m : refs) set.push_back(&m);
    state->reference = MeanMeasurement(set);
  } else {
    QString refPath = state->rules.reference, why;
    if (QFileInfo(refPath).isRelative()) refPath = QFileInfo(path).dir().filePath(refPath);
    auto data = std::make_unique<MeasureData>();
    auto raw = std::make_unique<PointValues>();
    if (!ReadCurve(*fileHandler, refPath, *data, *raw, why))
      return refuse(U("%1行目: 参照 %2: %3").arg(state->rules.referenceLine).arg(refPath, why));
    state->reference = MeasureDriver(*data, *raw, analysis);
  }
  state->band = ToleranceBand(state->rules, state->reference);
  qcState = state;
  graphPlotter->band = [this](QPainter& p, const Graph_RTF::FreqAxis& axis, float rMax, int w, int h) {
    if (!qcState) return;
    const QcBand& b = qcState->band;
    PaintToleranceBand(p, axis, rMax, w, h, b.f, b.lo, b.hi, b.ref,
                       ColorFromBgr(static_cast<uint32_t>(settings.PenColor_R_Ref[0])), 1);
  };
  if (mainData.valid || AnyRefLoaded()) {
    mRedrawGraph();
  } else {
    graphPlotter->Clear();
    graphPlotter->DrawReferences(mROnly());
  }
  mShowQcVerdict();
}

void TFormMain::mShowQcVerdict(bool afterState) {
  if (!qcState || !mainData.valid) return;
  const QcRules& rules = qcState->rules;
  const QcMeasurement m = MeasureDriver(mainData, rawValues, {rules.re, rules.NeedsFit(), true});
  const QcVerdict v = CheckDriver(rules, qcState->reference, m, true);
  // After a sweep the verdict follows "測定終了しました".
  const QString before = afterState ? StatusBar1->PanelText(VerdictPanel) + U("　") : QString();
  statusTexts->SetPanelText(before + (v.pass ? U("合格") : U("不合格：") + v.reasons.value(0)), VerdictPanel);
}

}  // namespace kavo
