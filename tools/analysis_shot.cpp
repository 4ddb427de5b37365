// Screenshot of the analysis: a full-band measurement of the simulated
// 6.5-inch woofer, "結果を分析", "Ts の計算" with the model's Re, and the main
// window, the analysis window and the parameter table side by side.
//
// Usage: xvfb-run -a -s "-screen 0 1280x1024x24" build/tool_analysis_shot OUT.png
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "MainProbe.h"
#include "EventPump.h"
#include "MainProbe.h"
#include "PtyUnit.h"
#include "TempDir.h"
#include "analysis/windows/Kavo_calc.h"
#include "analysis/windows/Re.h"
#include "analysis/windows/Ts.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tool_analysis_shot OUT.png\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());

  kavsim::PtyUnit unit;
  unit.Config().paced = false;
  kavsim::FindPreset("woofer65", unit.Config().model);
  if (!unit.Start()) return 1;
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit.SlavePath()));

  kavo::TFormMain* main = kavo::CreateForms();
  main->move(0, 0);
  main->show();
  kavo::test::PumpUntil([main] { return kavo::TFormMainProbe(main).settingsPending() == 0; });
  kavo::TFormMainProbe(main).ComboBox2()->setCurrentIndex(0);
  main->MStartBtnClick();
  if (!kavo::test::PumpUntil([main] { return kavo::TFormMainProbe(main).SweepOver(); }, 20000)) return 1;

  kavo::AppForms& forms = kavo::Forms();
  kavo::TFormMainProbe(main).MenuMesure_Calc()->trigger();
  forms.calc->move(main->frameGeometry().right() + 12, 0);
  kavo::test::PumpFor(300);

  // Answers the two modal windows the button opens.
  bool saved = false;
  QTimer driver;
  QObject::connect(&driver, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == forms.re) {
      forms.re->Edit1->setText(QStringLiteral("5.6"));
      forms.re->Button1->click();
    } else if (modal == forms.ts && !saved) {
      forms.ts->move(forms.calc->frameGeometry().right() + 12, 0);
      kavo::test::PumpFor(500);
      const int width = forms.ts->frameGeometry().right() + 1;
      const int height = std::max(main->frameGeometry().bottom(), forms.ts->frameGeometry().bottom()) + 1;
      saved = QGuiApplication::primaryScreen()->grabWindow(0, 0, 0, width, height).save(out);
      forms.ts->Button1->click();
    }
  });
  driver.start(100);
  forms.calc->ButtonTS->click();
  driver.stop();
  std::printf("%s %s\n", saved ? "saved" : "not saved", qPrintable(out));
  kavo::DestroyForms();
  return saved ? 0 : 1;
}
