// The tests' one way into the main window's private state, for what its
// widgets cannot show: the window keeps its state private and befriends
// this class only. Its controls are found by name (MainWidgets).
#pragma once

#include "MainWidgets.h"
#include "shell/Kavo_main.h"

namespace kavo {

class TFormMainProbe : public MainWidgets {
 public:
  explicit TFormMainProbe(TFormMain& window) : MainWidgets(window), w(window) {}
  explicit TFormMainProbe(TFormMain* window) : MainWidgets(window), w(*window) {}

  // ---- measuring: the session, its port and its receive state ----
  MeasureSession& Session() { return w.session; }
  TSerialPortDriver* Driver() const { return w.commDriver.get(); }
  uint8_t PortOpen() const { return w.session.PortOpen(); }
  uint8_t UnitConnected() const { return w.session.UnitConnected(); }
  uint8_t Acquiring() const { return w.session.Acquiring(); }
  uint8_t CompletionPending() const { return w.completionPending; }
  // Neither receiving nor waiting to finish.
  bool SweepOver() const { return !w.session.Acquiring() && !w.completionPending; }
  int32_t PointCount() const { return w.session.PointCount(); }
  int32_t RxCount() const { return w.session.RxCount(); }
  const char* RxBuffer() const { return w.session.RxBuffer(); }
  std::string& UnitSerial() { return w.session.UnitSerial(); }
  int& TimeoutMs() { return w.timeoutMs; }

  // ---- graph: the view, the sheet and the scales ----
  GraphScale& graphScale() const { return w.graphView.Scale(); }
  Graph_RTF* graphPlotter() const { return w.graphSheet.Plotter(); }
  const LabelSlots& axisLabels() const { return w.graphSheet.Labels(); }
  int32_t mFindPointIndex(float f) const { return w.mFindPointIndex(f); }
  float mMainRMax() const { return w.mMainRMax(); }
  float mMainThetaMax() const { return w.mMainThetaMax(); }

  // ---- data sets, files, settings and the window's own state ----
  auto& dataSets() { return w.dataSets; }
  auto& mainData() { return w.mainData; }
  auto& rawValues() { return w.rawValues; }
  auto& aveValues() { return w.aveValues; }
  auto& fileName() { return w.fileName; }
  auto& refData() { return w.refData; }
  auto& refRawValues() { return w.refRawValues; }
  auto& refAveValues() { return w.refAveValues; }
  auto& refFileName() { return w.refFileName; }
  auto& refCount() { return w.refCount; }
  auto& dataSaved() { return w.dataSaved; }
  auto& settings() { return w.settings; }
  auto& view() { return w.view; }
  auto& settingsPending() { return w.settingsPending; }
  auto& statusLayoutPending() { return w.statusLayoutPending; }
  auto& idlePasses() { return w.idlePasses; }
  auto& tsResult() { return w.tsResult; }
  auto* fileHandler() { return w.fileHandler.get(); }
  auto* statusTexts() { return w.statusTexts.get(); }

 private:
  TFormMain& w;
};

}  // namespace kavo
