// Main window: the graph view's handlers. The scales, the choice of arrays
// and the click look-up are GraphView's, the drawing GraphSheet's; here the
// window lays out its controls, reads its menu's options and passes them on.
#include <QAction>
#include <QPainter>
#include <QPen>
#include <QComboBox>
#include <QPushButton>
#include <QResizeEvent>

#include "graph/PaintBox.h"
#include "platform/desktop/Look.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "shell/Kavo_main.h"

namespace kavo {

bool TFormMain::mROnly() const { return MenuGraph_R_only->isChecked(); }
bool TFormMain::mWide() const { return MenuGraph_Wide->isChecked(); }
bool TFormMain::mAveraging() const { return MenuGraph_Ave->isChecked(); }
ViewOptions TFormMain::mViewOptions() const { return {mROnly(), mWide(), mAveraging()}; }

void TFormMain::mBindGraph() { graphView.Bind(dataSets); }

void TFormMain::mSetGraphOverlay(const void* owner, std::function<const PointValues*(int32_t band)> curves) {
  if (!graphPlotter) return;
  graphPlotter->AddOverlay(owner, [this, curves = std::move(curves)](QPainter& p, const GraphMapping& m) {
    const PointValues* values = curves(m.band);
    if (!values || values->valid != 1) return;
    // Darker and wider than the measurement's own line, so that a model
    // lying on the curve still shows as dashes on it.
    QPen r(ColorFromBgr(static_cast<uint32_t>(settings.PenColor_R)).darker(170), 2, Qt::DashLine, Qt::RoundCap);
    QPen theta(ColorFromBgr(static_cast<uint32_t>(settings.PenColor_Theta)).darker(170), 2, Qt::DashLine, Qt::RoundCap);
    r.setJoinStyle(Qt::RoundJoin);
    theta.setJoinStyle(Qt::RoundJoin);
    PaintBandCurves(p, m, *values, r, theta);
  });
}

void TFormMain::mResetGraphScale(int32_t band) { graphView.ResetScale(band); }
void TFormMain::mSelectValueArrays() { graphView.SelectValueArrays(mAveraging()); }
float TFormMain::mRScaleFor(float m) { return GraphView::RScaleFor(m); }
float TFormMain::mThetaScaleFor(float a) { return GraphView::ThetaScaleFor(a); }
float TFormMain::mMainRMax() const { return graphView.MainRMax(); }
float TFormMain::mRefRMax() const { return graphView.RefRMax(); }
float TFormMain::mMainThetaMax() const { return graphView.MainThetaMax(); }
float TFormMain::mRefThetaMax() const { return graphView.RefThetaMax(); }
void TFormMain::mScaleForMeasurement() { graphView.ScaleForMeasurement(mAveraging()); }
void TFormMain::mScaleForReferences() { graphView.ScaleForReferences(mAveraging()); }
void TFormMain::mScaleForBoth() { graphView.ScaleForBoth(mAveraging()); }

void TFormMain::mRedrawMeasurement() { graphSheet.Redraw(graphView, GraphSheet::Sets::Measurement, mViewOptions()); }
void TFormMain::mRedrawReferences() { graphSheet.Redraw(graphView, GraphSheet::Sets::References, mViewOptions()); }
void TFormMain::mRedrawBoth() { graphSheet.Redraw(graphView, GraphSheet::Sets::Both, mViewOptions()); }

void TFormMain::mRedrawWithMeasurement() {
  if (AnyRefLoaded()) mRedrawBoth();
  else mRedrawMeasurement();
}

void TFormMain::mRedrawGraph() {
  if (mainData.valid) mRedrawWithMeasurement();
  else if (AnyRefLoaded()) mRedrawReferences();
}

void TFormMain::MenuGraph_R_onlyClick() {
  MenuGraph_R_only->setChecked(!MenuGraph_R_only->isChecked());
  mRedrawGraph();
}

void TFormMain::MenuGraph_AveClick() {
  MenuGraph_Ave->setChecked(!MenuGraph_Ave->isChecked());
  mRedrawGraph();
}

void TFormMain::MenuGraph_WideClick() {
  MenuGraph_Wide->setChecked(!MenuGraph_Wide->isChecked());
  if (mainData.valid) mRedrawWithMeasurement();
}

void TFormMain::ComboBox2Change() {
  graphView.Scale().band = ComboBox2->currentIndex() + 1;
  if (mainData.valid) {
    mRedrawWithMeasurement();
  } else if (AnyRefLoaded()) {
    mRedrawReferences();
  } else {
    mScaleForMeasurement();
    graphSheet.ClearWithScales(mROnly());
  }
}

void TFormMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

void TFormMain::FormResize() {
  Graph_RTF* plotter = graphSheet.Plotter();
  if (!plotter) return;
  // Client coordinates: the central area plus the status bar below it.
  const int clientHeight = centralWidget()->height() + (StatusBar1 ? StatusBar1->height() : 0);
  PaintBox1->setGeometry(64, 24, width() - 140, clientHeight - 120);
  MStartBtn->move(64, clientHeight - 60);
  QuitBtn->move(PaintBox1->x() + PaintBox1->width() - QuitBtn->width(), MStartBtn->y());
  ComboBox2->move(MStartBtn->x() + MStartBtn->width() + 20, MStartBtn->y() + 2);

  plotter->Resize();
  plotter->DrawScales(mROnly());
  if (mainData.valid) {
    mRedrawWithMeasurement();
  } else if (session.Acquiring() && session.PointCount() > 1) {
    plotter->Clear();
    plotter->DrawMeasurementSoFar(mROnly(), session.PointCount() - 1, mWide());
  } else if (AnyRefLoaded()) {
    mRedrawReferences();
  } else {
    plotter->Clear();
  }
  statusLayoutPending = 1;
  if (!geometryApplying) mRecordGeometry();
}

void TFormMain::PaintBox1MouseDown(int x, int) {
  if (!mainData.valid) return;
  const int32_t k = graphView.PointAt(x, PaintBox1->width());
  if (k == GraphView::NoPoint) return;
  mainData.points[k].c[RecordLength] = '\0';
  statusTexts->SetPanelText(GraphView::PointReadout(mainData.points[k]), 2);
}

int32_t TFormMain::mFindPointIndex(float f) const { return graphView.FindPointIndex(f); }
QString TFormMain::mPointReadout(const PointText& record) { return GraphView::PointReadout(record); }
QString TFormMain::mFormatResistance(const PointText& record) { return GraphView::FormatResistance(record); }
QString TFormMain::mFormatPhase(const PointText& record) { return GraphView::FormatPhase(record); }
QString TFormMain::mFormatFrequency(const PointText& record) { return GraphView::FormatFrequency(record); }

}  // namespace kavo
