// A freshly started main window with its settings and runtime files in a
// scratch directory and every modal question answered by script.
#pragma once

#include <gtest/gtest.h>

#include <optional>

#include "MainProbe.h"
#include "EventPump.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo::test {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    settingsDir.emplace("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
    runtimeDir.emplace("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  }
  void TearDown() override {
    DestroyForms();
    runtimeDir.reset();
    settingsDir.reset();
  }
  // Creates the windows and runs the first idle pass (settings load).
  TFormMain* Start() {
    main = CreateForms();
    PumpUntil([this] { return TFormMainProbe(main).settingsPending() == 0; });
    return main;
  }
  QString SettingsFile() const { return dir.Path(QStringLiteral("KAVO_ini.prf")); }

  TempDir dir;
  std::optional<ScopedEnv> settingsDir, runtimeDir;
  ScopedScriptedModal modal;
  TFormMain* main = nullptr;
};

}  // namespace kavo::test
