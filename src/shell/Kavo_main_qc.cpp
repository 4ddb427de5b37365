// Main window, quality check: "参照データ" → "許容範囲を表示..." (a check item)
// loads a .kqc file and draws its band around its reference on the graph;
// from then on a finished measurement or an opened file shows "合格" or
// "不合格：" with the first reason, short, in the status bar, the whole
// verdict in the pane's tool tip and behind "判定の理由...". Choosing the
// checked item again, or clearing the references a mean band was built on,
// takes the band away.
#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "analysis/QcSetup.h"
#include "analysis/windows/AnalysisTexts.h"
#include "data/Kavo_file.h"
#include "graph/ToleranceBand.h"
#include "messages/Ka_message.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "platform/Look.h"
#include "platform/Modal.h"
#include "shell/Kavo_main.h"

namespace kavo {

// The rules in force, their reference and its band, and the last verdict.
struct QcWindowState {
  QcSetup setup;
  QcBand band;
  QString verdict;  // the whole text, empty before the first
};

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

constexpr int VerdictPanel = 1;

}  // namespace

void TFormMain::mSetupQc() {
  MenuRef_Tolerance = new QAction(U("許容範囲を表示(&T)..."), this);
  MenuRef_Tolerance->setObjectName(QStringLiteral("MenuRef_Tolerance"));
  MenuRef_Tolerance->setCheckable(true);
  MenuRef->addAction(MenuRef_Tolerance);
  connect(MenuRef_Tolerance, &QAction::triggered, this, &TFormMain::MenuRef_ToleranceClick);
  MenuRef_Verdict = new QAction(U("判定の理由(&V)..."), this);
  MenuRef_Verdict->setObjectName(QStringLiteral("MenuRef_Verdict"));
  MenuRef_Verdict->setEnabled(false);
  MenuRef->addAction(MenuRef_Verdict);
  connect(MenuRef_Verdict, &QAction::triggered, this, &TFormMain::MenuRef_VerdictClick);
}

void TFormMain::MenuRef_ToleranceClick() {
  if (qcState) {
    mRemoveQc();
    return;
  }
  MenuRef_Tolerance->setChecked(false);
  QString path;
  if (!Modal().OpenFileName(this, U("許容範囲ファイルを選んでください"), U("許容範囲ファイル(*.kqc)|*.kqc"), U("*.kqc"),
                            path) ||
      path.isEmpty())
    return;
  auto state = std::make_shared<QcWindowState>();
  QcRuleError error;
  bool ok = LoadQcSetup(path, QFileInfo(path).path(), state->setup, error);
  if (ok && state->setup.rules.meanReference) {
    // The mean of the reference curves open now.
    std::vector<QcMeasurement> measured;
    for (int k = 0; k < MaxRefs; ++k)
      if (refData[k].valid) measured.push_back(MeasureDriver(refData[k], refRawValues[k], state->setup.Analysis()));
    std::vector<const QcMeasurement*> set;
    for (const QcMeasurement& m : measured) set.push_back(&m);
    ok = UseMeanReference(set, state->setup, error);
  }
  if (!ok) {
    Modal().Message(this, msgCatalog->Caption(), path + QLatin1Char('\n') + QcRuleErrorText(error),
                    MsgIcon::Exclamation, MsgButtons::OK);
    return;
  }
  state->band = ToleranceBand(state->setup.rules, state->setup.reference);
  qcState = state;
  MenuRef_Tolerance->setChecked(true);
  graphPlotter->AddOverlay(
      &qcState,
      [this](QPainter& p, const GraphMapping& m) {
        if (!qcState) return;
        const QcBand& b = qcState->band;
        PaintToleranceBand(p, m, {b.f, b.lo, b.hi, b.ref}, {b.f, b.thetaLo, b.thetaHi, b.thetaRef},
                           ColorFromBgr(static_cast<uint32_t>(settings.PenColor_R_Ref[0])),
                           ColorFromBgr(static_cast<uint32_t>(settings.PenColor_Theta_Ref[0])), 1);
      },
      Graph_RTF::OverlayLayer::UnderCurves);
  mRedrawForQc();
  mShowQcVerdict();
}

void TFormMain::mRedrawForQc() {
  if (mainData.valid || AnyRefLoaded()) {
    mRedrawGraph();
  } else {
    graphPlotter->Clear();
    graphPlotter->DrawReferences(mROnly());
  }
}

void TFormMain::mRemoveQc() {
  qcState.reset();
  graphPlotter->RemoveOverlay(&qcState);
  MenuRef_Tolerance->setChecked(false);
  MenuRef_Verdict->setEnabled(false);
  if (StatusBar1->PanelText(VerdictPanel).contains(U("合格"))) statusTexts->ClearPanel(VerdictPanel);
  StatusBar1->SetPanelToolTip(VerdictPanel, QString());
  mRedrawForQc();
}

void TFormMain::mRefsCleared() {
  if (qcState && qcState->setup.rules.meanReference) mRemoveQc();
}

void TFormMain::MenuRef_VerdictClick() {
  if (!qcState || qcState->verdict.isEmpty()) return;
  Modal().Message(this, msgCatalog->Caption(), qcState->verdict, MsgIcon::Information, MsgButtons::OK);
}

void TFormMain::mShowQcVerdict() {
  if (!qcState || !mainData.valid) return;
  const QcSetup& setup = qcState->setup;
  const QcMeasurement m = MeasureDriver(mainData, rawValues, setup.Analysis());
  const QcVerdict v = CheckDriver(setup.rules, setup.reference, m);
  // In place of "測定終了しました" after a sweep: both would push the read-out
  // panel off a window of the default width.
  statusTexts->SetPanelText(QcVerdictShort(v), VerdictPanel);
  qcState->verdict = QcVerdictText(v);
  StatusBar1->SetPanelToolTip(VerdictPanel, qcState->verdict);
  MenuRef_Verdict->setEnabled(true);
}

}  // namespace kavo
