// A whole measurement through the real main window and a pseudo-terminal:
// a unit that identifies itself properly and then answers the band command
// with arbitrary bytes. However the bytes run, the sweep must end and the
// window return to idle. The watchdog is shortened so that a stream that
// stops short ends in 150 ms instead of 10 s.
//   input: band byte, then everything the unit sends after "M<band>".
#include <QApplication>
#include <QComboBox>
#include <QTemporaryDir>
#include <QPushButton>
#include <cstdint>
#include <memory>
#include <string>

#include "EventPump.h"
#include "MainProbe.h"
#include "ScriptedUnit.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace {

kavo::TFormMain* window = nullptr;
kavo::ScriptedModal* modal = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Settings and runtime files in a folder of their own, removed at exit.
  static QTemporaryDir scratch;
  const QString dir = scratch.path();
  qputenv("KAVO_SETTINGS_DIR", dir.toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.toUtf8());
  new QApplication(*argc, *argv);
  modal = new kavo::ScriptedModal;
  kavo::SetModal(modal);
  window = kavo::CreateForms();
  kavo::test::PumpUntil([] { return kavo::TFormMainProbe(window).settingsPending() == 0; });
  kavo::TFormMainProbe(window).TimeoutMs() = 150;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  if (size < 1 || size > 12000) return -1;
  const int band = data[0] % 4 + 1;
  const std::string stream(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string bandCommand = "M" + std::to_string(band);
  test::ScriptedUnit unit([&](const std::string& command) {
    if (command == bandCommand) return stream;
    return test::HealthyAnswer(command);
  });
  if (!unit.Ok()) return 0;
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit.Path()));
  kavo::TFormMainProbe(window).ComboBox2()->setCurrentIndex(band - 1);
  window->MStartBtnClick();
  const bool ended =
      test::PumpUntil([] { return kavo::TFormMainProbe(window).SweepOver(); }, 5000);
  const bool idle = kavo::TFormMainProbe(window).MStartBtn()->isEnabled() && kavo::TFormMainProbe(window).MStartBtn()->text() == QStringLiteral("測定開始");
  if (!ended || !idle) __builtin_trap();
  modal->calls.clear();
  return 0;
}
