// The tests' one way into the main window's private state: the window keeps
// its state private and befriends this class only.
#pragma once

#include "shell/Kavo_main.h"

namespace kavo {

class TFormMainProbe {
 public:
  explicit TFormMainProbe(TFormMain& window) : w(window) {}
  explicit TFormMainProbe(TFormMain* window) : w(*window) {}

  // ---- measuring: the session, its port and its receive state ----
  MeasureSession& Session() { return w.session; }
  TSerialPortDriver* Driver() const { return w.commDriver; }
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

 private:
  TFormMain& w;
};

}  // namespace kavo
