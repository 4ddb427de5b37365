// A freshly started main window with its settings and runtime files in a
// scratch directory and every modal question answered by script.
#pragma once

#include <gtest/gtest.h>

#include "EventPump.h"
#include "TempDir.h"
#include "platform/Modal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  }
  void TearDown() override {
    DestroyForms();
    qunsetenv("KAVO_SETTINGS_DIR");
    qunsetenv("KAVO_RUNTIME_DIR");
  }
  // Creates the windows and runs the first idle pass (settings load).
  TFormMain* Start() {
    main = CreateForms();
    PumpUntil([this] { return main->settingsPending == 0; });
    return main;
  }
  QString SettingsFile() const { return dir.Path(QStringLiteral("KAVO_ini.prf")); }

  TempDir dir;
  ScopedScriptedModal modal;
  TFormMain* main = nullptr;
};

}  // namespace kavo::test
