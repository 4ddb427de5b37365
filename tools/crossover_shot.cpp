// Screenshots of the crossover windows beside the main window: a simulated
// 6.5-inch woofer with a lossy (semi) voice coil compensated ("インピーダンス
// 補正", the compensated curve dashed over the measurement), and a 1 mH
// inductor measured ("部品の測定").
//
// Usage: QT_QPA_PLATFORM=offscreen build/tool_crossover_shot COMPENSATION.png PART.png
#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <cmath>
#include <cstdio>

#include "EventPump.h"
#include "SideBySide.h"
#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "analysis/windows/PartWindows.h"
#include "data/Kavo_file.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace {

void Measure(kavo::TFormMain* main, const kavsim::DriverModel& m) {
  kavo::TFormMainProbe probe(main);
  kavo::test::FillFromUnit(probe.mainData(), m, 0.002, 5);
  probe.mainData().valid = 1;
  probe.fileHandler()->ConvertData(&probe.mainData(), &probe.rawValues(), &probe.aveValues());
  main->mMeasurementChanged();
  main->mRedrawGraph();
}

bool Shot(kavo::TFormMain* main, QWidget* window, const QString& out) { return SaveSideBySide(main, window, out); }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: tool_crossover_shot COMPENSATION.png PART.png\n");
    return 2;
  }
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  kavo::TFormMain* main = kavo::CreateForms();
  main->move(0, 0);
  main->show();
  kavo::test::PumpUntil([main] { return kavo::TFormMainProbe(main).settingsPending() == 0; });

  kavsim::DriverModel woofer;
  kavsim::FindPreset("woofer65", woofer);
  woofer.coil = kavsim::DriverModel::Coil::Semi;
  woofer.n = 0.7;
  woofer.K = 2 * M_PI * 1000 * woofer.Le / std::pow(2 * M_PI * 1000, woofer.n);
  Measure(main, woofer);
  kavo::TFormMainProbe(main).MenuMesure_Comp()->trigger();
  kavo::TFormComp* comp = kavo::Forms().comp;
  comp->move(main->frameGeometry().right() + 12, 0);
  comp->ReEdit->setText(QStringLiteral("5.6"));
  comp->RunButton->click();
  bool ok = Shot(main, comp, QString::fromLocal8Bit(argv[1]));
  comp->close();

  kavsim::DriverModel inductor;
  inductor.part.kind = kavsim::PartModel::Kind::Inductor;
  Measure(main, inductor);
  kavo::TFormMainProbe(main).MenuMesure_Part()->trigger();
  kavo::TFormPart* part = kavo::Forms().part;
  part->move(main->frameGeometry().right() + 12, 0);
  part->AtEdit->setText(QStringLiteral("1000"));
  part->RunButton->click();
  ok = Shot(main, part, QString::fromLocal8Bit(argv[2])) && ok;
  kavo::DestroyForms();
  return ok ? 0 : 1;
}
