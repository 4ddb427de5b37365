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

  // ---- data sets, files, settings and the window's own state ----

 private:
  TFormMain& w;
};

}  // namespace kavo
