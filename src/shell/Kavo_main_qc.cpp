// Main window, quality check: "参照データ" → "許容範囲を表示..." loads a .kqc
// file and draws its band around its reference on the graph; from then on a
// finished measurement or an opened file shows "合格" or "不合格" with the
// first reason in the status bar.
#include <QAction>
#include <QMenu>

#include "analysis/QualityCheck.h"
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
  auto state = std::make_shared<QcWindowState>();
  QString why;
  if (!LoadQcSetup(path, refData, refRawValues, MaxRefs, state->rules, state->reference, why)) {
    Modal().Message(this, msgCatalog->Caption(), path + QLatin1Char('\n') + why, MsgIcon::Exclamation, MsgButtons::OK);
    return;
  }
  state->band = ToleranceBand(state->rules, state->reference);
  qcState = state;
  graphPlotter->AddOverlay(
      &qcState,
      [this](QPainter& p, const GraphMapping& m) {
        if (!qcState) return;
        const QcBand& b = qcState->band;
        PaintToleranceBand(p, m.axis, m.rMax, m.width, m.height, b.f, b.lo, b.hi, b.ref,
                           ColorFromBgr(static_cast<uint32_t>(settings.PenColor_R_Ref[0])), 1);
      },
      Graph_RTF::OverlayLayer::UnderCurves);
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
