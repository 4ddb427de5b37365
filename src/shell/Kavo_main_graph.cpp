// Main window: the graph view. Layout on resize, the choice of arrays and
// scales, the redraw sequences, the view options, the band box as a zoom,
// and the click read-out.
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QResizeEvent>
#include <cmath>

#include "data/Kavo_data.h"
#include "data/Stringutil.h"
#include "graph/PaintBox.h"
#include "messages/Ka_status.h"
#include "messages/StatusPanels.h"
#include "shell/Kavo_main.h"

namespace kavo {
bool TFormMain::ROnly() const { return MenuGraph_R_only->isChecked(); }
bool TFormMain::Wide() const { return MenuGraph_Wide->isChecked(); }
bool TFormMain::Averaging() const { return MenuGraph_Ave->isChecked(); }

void TFormMain::ResetGraphScale(int32_t band) {
  graphScale.band = band;
  graphScale.freqMin = BandFreqMin(band);
  graphScale.freqMax = BandFreqMax(band);
  graphScale.rMax = 25.0f;
  graphScale.thetaMin = -180.0f;
  graphScale.thetaMax = 180.0f;
}

void TFormMain::mSelectValueArrays() {
  const bool ave = Averaging();
  graphScale.data = ave ? &aveValues : &rawValues;
  for (int k = 0; k < MaxRefs; ++k) graphScale.refs[k] = ave ? &refAveValues[k] : &refRawValues[k];
}

float TFormMain::mRScaleFor(float m) {
  if (m > 150) return 200;
  if (m > 120) return 150;
  if (m > 100) return 120;
  if (m > 50) return 100;
  if (m > 25) return 50;
  if (m > 20) return 25;
  if (m > 15) return 20;
  if (m > 10) return 15;
  return 10;
}

float TFormMain::mThetaScaleFor(float a) {
  if (a > 60) return 180;
  if (a > 30) return 90;
  return 45;
}

namespace {

float MaxR(const PointValues& values, int32_t band, float m) {
  for (int32_t k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) m = std::max(m, values.R[k]);
  return m;
}

void ThetaSpan(const PointValues& values, int32_t band, float& hi, float& lo) {
  for (int32_t k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    hi = std::max(hi, values.Theta[k]);
    lo = std::min(lo, values.Theta[k]);
  }
}

}  // namespace

float TFormMain::mMainRMax() const { return mRScaleFor(MaxR(rawValues, mainData.band, 0.0f)); }

float TFormMain::mRefRMax() const {
  float m = 0.0f;
  for (int k = 0; k < MaxRefs; ++k)
    if (refData[k].valid) m = MaxR(refRawValues[k], refData[k].band, m);
  return mRScaleFor(m);
}

float TFormMain::mMainThetaMax() const {
  float hi = 0.0f, lo = 0.0f;
  ThetaSpan(rawValues, mainData.band, hi, lo);
  return mThetaScaleFor(-lo > hi ? -lo : hi);
}

float TFormMain::mRefThetaMax() const {
  float hi = 0.0f, lo = 0.0f;
  for (int k = 0; k < MaxRefs; ++k)
    if (refData[k].valid) ThetaSpan(refRawValues[k], refData[k].band, hi, lo);
  return mThetaScaleFor(-lo > hi ? -lo : hi);
}

void TFormMain::ApplyScales(float rMax, float thetaMax) {
  mSelectValueArrays();
  graphScale.freqMin = BandFreqMin(graphScale.band);
  graphScale.freqMax = BandFreqMax(graphScale.band);
  graphScale.rMax = rMax;
  graphScale.thetaMax = thetaMax;
  graphScale.thetaMin = -thetaMax;
}

void TFormMain::mScaleForMeasurement() { ApplyScales(mMainRMax(), mMainThetaMax()); }

void TFormMain::mScaleForReferences() { ApplyScales(mRefRMax(), mRefThetaMax()); }

void TFormMain::mScaleForBoth() {
  ApplyScales(std::max(mMainRMax(), mRefRMax()), std::max(mMainThetaMax(), mRefThetaMax()));
}

void TFormMain::mRedrawMeasurement() {
  mScaleForMeasurement();
  graphPlotter->Clear();
  graphPlotter->DrawMeasurement(ROnly(), Wide());
}

void TFormMain::mRedrawReferences() {
  mScaleForReferences();
  graphPlotter->Clear();
  graphPlotter->DrawReferences(ROnly());
}

void TFormMain::mRedrawBoth() {
  mScaleForBoth();
  graphPlotter->Clear();
  graphPlotter->DrawAll(ROnly(), Wide());
}

void TFormMain::RedrawWithMeasurement() {
  if (AnyRefLoaded()) mRedrawBoth();
  else mRedrawMeasurement();
}

void TFormMain::mRedrawGraph() {
  if (mainData.valid) RedrawWithMeasurement();
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
  if (mainData.valid) RedrawWithMeasurement();
}

void TFormMain::ComboBox2Change() {
  graphScale.band = ComboBox2->currentIndex() + 1;
  if (mainData.valid) {
    RedrawWithMeasurement();
  } else if (AnyRefLoaded()) {
    mRedrawReferences();
  } else {
    mScaleForMeasurement();
    graphPlotter->Clear();
    graphPlotter->DrawScales(ROnly());
  }
}

void TFormMain::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

void TFormMain::FormResize() {
  if (!graphPlotter) return;
  // Client coordinates: the central area plus the status bar below it.
  const int clientHeight = centralWidget()->height() + (StatusBar1 ? StatusBar1->height() : 0);
  PaintBox1->setGeometry(64, 24, width() - 140, clientHeight - 120);
  MStartBtn->move(64, clientHeight - 60);
  QuitBtn->move(PaintBox1->x() + PaintBox1->width() - QuitBtn->width(), MStartBtn->y());
  ComboBox2->move(MStartBtn->x() + MStartBtn->width() + 20, MStartBtn->y() + 2);

  graphPlotter->Resize();
  graphPlotter->DrawScales(ROnly());
  if (mainData.valid) {
    RedrawWithMeasurement();
  } else if (session.Acquiring() && session.PointCount() > 1) {
    graphPlotter->Clear();
    graphPlotter->DrawMeasurementSoFar(ROnly(), session.PointCount() - 1, Wide());
  } else if (AnyRefLoaded()) {
    mRedrawReferences();
  } else {
    graphPlotter->Clear();
  }
  statusLayoutPending = 1;
  if (!geometryApplying) mRecordGeometry();
}

void TFormMain::PaintBox1MouseDown(int x, int) {
  if (!mainData.valid) return;
  const Graph_RTF::FreqAxis axis = Graph_RTF::MakeFreqAxis(graphScale.freqMin, graphScale.freqMax);
  const float f =
      static_cast<float>(std::pow(10.0, static_cast<double>(x) * (axis.L1 - axis.L0) / PaintBox1->width() + axis.L0));
  const int32_t k = mFindPointIndex(f);
  if (k == 999 || rawValues.R[k] == -1.0f) return;
  mainData.points[k].c[RecordLength] = '\0';
  statusTexts->SetPanelText(PointReadout(mainData.points[k]), 2);
}

int32_t TFormMain::mFindPointIndex(float f) const {
  const int32_t s = BandFirstSlot(graphScale.band), e = BandLastSlot(graphScale.band);
  const float* F = rawValues.Freq;
  if (e <= s) return 999;
  if (F[s] <= f && f < F[s + 1]) return s;
  if (F[e - 1] < f && f <= F[e]) return e;
  for (int32_t k = s + 1; k <= e - 1; ++k)
    if ((F[k - 1] + F[k]) * 0.5f <= f && f < (F[k] + F[k + 1]) * 0.5f) return k;
  return 999;
}

QString TFormMain::PointReadout(const PointText& record) const {
  return QStringLiteral("周波数：") + mFormatFrequency(record) + QStringLiteral(" / ") + mFormatResistance(record) +
         QStringLiteral(" / ") + mFormatPhase(record);
}

QString TFormMain::mFormatResistance(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  DecodeRecord(record, r, theta, f);
  return QString::fromStdString(FormatNumber(r, "#0.00")) + QStringLiteral("[Ω]");
}

QString TFormMain::mFormatPhase(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  DecodeRecord(record, r, theta, f);
  return QString::fromStdString(FormatNumber(theta, "#0.0")) + QStringLiteral("[deg]");
}

QString TFormMain::mFormatFrequency(const PointText& record) {
  float r = 0, theta = 0, f = 0;
  // A record with divisor 0 can only show up mid-sweep; say so plainly.
  if (!DecodeRecord(record, r, theta, f)) return QStringLiteral("---[Hz]");
  if (f < 100) return QString::fromStdString(FormatNumber(f, "#.00")) + QStringLiteral("[Hz]");
  if (f < 1000) return QString::fromStdString(FormatNumber(f, "#.0")) + QStringLiteral("[Hz]");
  return QString::fromStdString(FormatNumber(f * 0.001f, "#.000")) + QStringLiteral("[kHz]");
}

}  // namespace kavo
