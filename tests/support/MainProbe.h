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
