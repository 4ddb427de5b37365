// Screenshot of the model fit: the real 10-inch subwoofer's free-air curve
// in the main window, "モデル適合解析" with the curve measured with 100 g
// added, and the fitted model dashed over the measurement.
//
// Usage: QT_QPA_PLATFORM=offscreen build/tool_fit_shot OUT.png REAL_DATA_DIR
// (the two windows are grabbed and put side by side)
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QPainter>
#include <QPixmap>
#include <cstdio>

#include "MainProbe.h"
#include "EventPump.h"
#include "SideBySide.h"
#include "TempDir.h"
#include "analysis/windows/ModelFitWindow.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 3) {
    std::fprintf(stderr, "usage: tool_fit_shot OUT.png REAL_DATA_DIR\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]), real = QString::fromLocal8Bit(argv[2]);
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());

  kavo::TFormMain* main = kavo::CreateForms();
  main->move(0, 0);
  main->show();
  kavo::test::PumpUntil([main] { return kavo::TFormMainProbe(main).settingsPending() == 0; });
  QString why;
  if (!kavo::LoadTable(real + QStringLiteral("/LS10-44_free.zma"), 0, kavo::TFormMainProbe(main).mainData(), why)) {
    std::fprintf(stderr, "%s\n", qPrintable(why));
    return 1;
  }
  kavo::TFormMainProbe(main).mainData().valid = 1;
  kavo::TFormMainProbe(main).fileHandler()->ConvertData(&kavo::TFormMainProbe(main).mainData(), &kavo::TFormMainProbe(main).rawValues(), &kavo::TFormMainProbe(main).aveValues());
  kavo::TFormMainProbe(main).ComboBox2()->setCurrentIndex(kavo::TFormMainProbe(main).mainData().band - 1);
  main->ComboBox2Change();

  kavo::TFormMainProbe(main).MenuMesure_Fit()->trigger();
  kavo::TFormFit* fit = kavo::Forms().fit;
  fit->move(main->frameGeometry().right() + 12, 0);
  fit->ReEdit->setText(QStringLiteral("7.4"));
  fit->SdEdit->setText(QStringLiteral("330"));
  fit->SecondCombo->setCurrentIndex(1);
  fit->SecondValue->setText(QStringLiteral("100"));
  fit->SecondFile->setText(real + QStringLiteral("/LS10-44_100g.zma"));
  fit->RunButton->click();
  const bool saved = SaveSideBySide(main, fit, out);
  kavo::DestroyForms();
  return saved ? 0 : 1;
}
