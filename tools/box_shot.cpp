// Screenshot of the box window: the simulated 6.5-inch woofer in a vented
// box of 30 L tuned to 38 Hz (noise 0.3 %) in the main window, "箱の解析"
// with the driver's values typed in, and the fitted system dashed over the
// measurement.
//
// Usage: QT_QPA_PLATFORM=offscreen build/tool_box_shot OUT.png
// (the two windows are grabbed and put side by side)
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>

#include "EventPump.h"
#include "SideBySide.h"
#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "analysis/windows/BoxWindow.h"
#include "data/Kavo_file.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tool_box_shot OUT.png\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());

  kavo::TFormMain* main = kavo::CreateForms();
  main->move(0, 0);
  main->show();
  kavo::test::PumpUntil([main] { return kavo::TFormMainProbe(main).settingsPending() == 0; });
  kavsim::DriverModel m;
  kavsim::FindPreset("woofer65", m);
  m.box = kavsim::DriverModel::Box::Vented;
  m.vb = 30e-3, m.fb = 38, m.ql = 7, m.qa = 30;
  kavo::TFormMainProbe probe(main);
  kavo::test::FillFromUnit(probe.mainData(), m, 0.003, 7);
  probe.mainData().valid = 1;
  probe.fileHandler()->ConvertData(&probe.mainData(), &probe.rawValues(), &probe.aveValues());
  main->mRedrawGraph();

  probe.MenuMesure_Box()->trigger();
  kavo::TFormBox* box = kavo::Forms().box;
  box->move(main->frameGeometry().right() + 12, 0);
  box->KindCombo->setCurrentIndex(1);
  box->VbEdit->setText(QStringLiteral("30"));
  box->ReEdit->setText(QStringLiteral("5.6"));
  box->DriverCombo->setCurrentIndex(2);
  box->FsEdit->setText(QStringLiteral("42"));
  box->QmsEdit->setText(QStringLiteral("4.2"));
  box->QesEdit->setText(QStringLiteral("0.42"));
  box->VasEdit->setText(QStringLiteral("22"));
  box->RunButton->click();
  const bool saved = SaveSideBySide(main, box, out);
  kavo::DestroyForms();
  return saved ? 0 : 1;
}
