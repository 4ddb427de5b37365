// Renders the main window in its typical states to PNG files, for looking
// at the program without a unit: empty; a measurement opened from a data
// file; with reference curves; each band; R only; wide lines.
//
// Usage: tool_screens OUTPUT_DIR   (under Xvfb or any display; offscreen works too)
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <cstdio>

#include "EventPump.h"
#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "data/Kavo_file.h"
#include "messages/Ka_status.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"
#include "MainProbe.h"
#include "Records.h"

namespace {

// A full-band data file of the given driver, written by the program's writer.
QString WriteDriverFile(const kavo::KAVO_File& files, const QString& path, const kavsim::DriverModel& model,
                        const char* serial) {
  kavo::MeasureData data;
  kavo::test::FillFromUnit(data, model);
  kavo::SettingsRecord settings;
  files.WriteDataFile(path, serial, &settings, &data);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tool_screens OUTPUT_DIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  kavo::ScopedScriptedModal modal;

  kavo::TFormMain* main = kavo::CreateForms();
  main->show();
  kavo::test::PumpFor(150);
  auto shot = [&](const char* name) {
    kavo::test::PumpFor(150);
    const QString path = out + QStringLiteral("/%1.png").arg(QString::fromLatin1(name));
    main->grab().save(path);
    std::printf("%s\n", path.toLocal8Bit().constData());
  };
  shot("1-empty");

  // Open a measurement through the data-file reader, as "開く" will.
  kavsim::DriverModel woofer;
  kavsim::FindPreset("woofer65", woofer);
  const QString file = WriteDriverFile(*kavo::TFormMainProbe(main).fileHandler(), dir.Path("woofer.DTA"), woofer, "0815");
  int32_t port = 0;
  kavo::TFormMainProbe(main).fileHandler()->ReadDataFile(file, &kavo::TFormMainProbe(main).UnitSerial(), &port, &kavo::TFormMainProbe(main).mainData());
  kavo::TFormMainProbe(main).fileHandler()->ConvertData(&kavo::TFormMainProbe(main).mainData(), &kavo::TFormMainProbe(main).rawValues(), &kavo::TFormMainProbe(main).aveValues());
  kavo::TFormMainProbe(main).mainData().valid = 1;
  kavo::TFormMainProbe(main).dataSaved() = 1;
  kavo::TFormMainProbe(main).ComboBox2()->setCurrentIndex(kavo::TFormMainProbe(main).mainData().band - 1);
  kavo::TFormMainProbe(main).graphScale().band = kavo::TFormMainProbe(main).mainData().band;
  main->mRedrawGraph();
  main->setWindowTitle(QStringLiteral("KAVO v2.1 - ") + file);
  shot("2-measurement");

  // Two references: the same driver in a box, and a small full-range driver.
  kavsim::DriverModel boxed = woofer;
  boxed.Fs = 68;
  boxed.Qms = 3.0;
  kavsim::DriverModel full;
  kavsim::FindPreset("fullrange", full);
  const kavsim::DriverModel refs[2] = {boxed, full};
  for (int k = 0; k < 2; ++k) {
    const QString ref = WriteDriverFile(*kavo::TFormMainProbe(main).fileHandler(), dir.Path(QStringLiteral("ref%1.DTA").arg(k)), refs[k], "0815");
    kavo::TFormMainProbe(main).fileHandler()->ReadDataFile(ref, nullptr, nullptr, &kavo::TFormMainProbe(main).refData()[k]);
    kavo::TFormMainProbe(main).fileHandler()->ConvertData(&kavo::TFormMainProbe(main).refData()[k], &kavo::TFormMainProbe(main).refRawValues()[k], &kavo::TFormMainProbe(main).refAveValues()[k]);
    kavo::TFormMainProbe(main).refData()[k].valid = 1;
    kavo::TFormMainProbe(main).refCount() = k + 1;
  }
  main->mRedrawGraph();
  shot("3-references");

  for (int band = 2; band <= 4; ++band) {
    kavo::TFormMainProbe(main).ComboBox2()->setCurrentIndex(band - 1);
    main->ComboBox2Change();
    shot(band == 2 ? "4-band-low" : band == 3 ? "5-band-mid" : "6-band-high");
  }
  kavo::TFormMainProbe(main).ComboBox2()->setCurrentIndex(0);
  main->ComboBox2Change();
  main->MenuGraph_R_onlyClick();
  shot("7-r-only");
  main->MenuGraph_R_onlyClick();
  main->MenuGraph_WideClick();
  main->resize(1000, 700);
  shot("8-wide-large");
  kavo::DestroyForms();
  return 0;
}
