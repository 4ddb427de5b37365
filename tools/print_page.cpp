// Prints a full-band measurement with two reference curves and three lines of
// information to OUTPUT_DIR/page.pdf through the print command, and renders
// the line colour and COM port dialogs to PNG files, for looking at them.
//
// Usage: tool_print_page OUTPUT_DIR   (offscreen works)
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "MainProbe.h"
#include "Records.h"
#include "TempDir.h"
#include "UnitModel.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "dialogs/Setting.h"
#include "graph/dialogs/Kavo_printinfo.h"
#include "graph/dialogs/Setcolor.h"
#include "ScriptedModal.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace {

void Settle(int ms = 150) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: tool_print_page OUTPUT_DIR\n");
    return 2;
  }
  const QString out = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(out);
  kavo::test::TempDir dir;
  qputenv("KAVO_SETTINGS_DIR", dir.Root().toUtf8());
  qputenv("KAVO_RUNTIME_DIR", dir.Root().toUtf8());
  kavo::ScopedScriptedModal modal;

  kavo::TFormMain* main = kavo::CreateForms();
  main->show();
  Settle();

  kavsim::DriverModel woofer, full;
  kavsim::FindPreset("woofer65", woofer);
  kavsim::FindPreset("fullrange", full);
  kavsim::DriverModel boxed = woofer;
  boxed.Fs = 68;
  boxed.Qms = 3.0;
  kavo::TFormMainProbe p(main);
  kavo::test::FillFromUnit(p.mainData(), woofer);
  p.mainData().valid = 1;
  p.fileHandler()->ConvertData(&p.mainData(), &p.rawValues(), &p.aveValues());
  p.dataSaved() = 1;
  const kavsim::DriverModel refs[2] = {boxed, full};
  for (int k = 0; k < 2; ++k) {
    kavo::test::FillFromUnit(p.refData()[k], refs[k]);
    p.refData()[k].valid = 1;
    p.fileHandler()->ConvertData(&p.refData()[k], &p.refRawValues()[k], &p.refAveValues()[k]);
    p.refCount() = k + 1;
  }
  main->mRedrawGraph();
  Settle();

  // "グラフ印刷": three information lines typed, the print dialog confirmed.
  QPrinter& printer = main->mPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(out + QStringLiteral("/page.pdf"));
  modal->dialogHandler = [](QDialog& dialog) {
    auto& info = dynamic_cast<kavo::TFormPrnInfo&>(dialog);
    info.show();
    info.Edit1->setText(QStringLiteral("測定者: 山田 太郎    2026年12月8日"));
    info.Edit2->setText(QStringLiteral("16.5cm ウーファー 単体 (参照1: 密閉箱入り, 参照2: フルレンジ)"));
    info.Edit3->setText(QStringLiteral("室温 21℃  KA-V SN=0815"));
    info.Button1->click();
    return info.result();
  };
  modal->printAnswers = {true};
  main->MenuFile_PrintClick();
  std::printf("%s/page.pdf %s\n", out.toLocal8Bit().constData(),
              modal->MessageTexts().isEmpty() ? "printed" : modal->MessageTexts().join(' ').toLocal8Bit().constData());

  // The two dialogs as they show.
  auto* colours = kavo::Forms().setColor;
  uint8_t cancelled = 0;
  colours->Prepare(kavo::TFormMainProbe(main).settings(), cancelled);
  colours->ComboBox1->setCurrentIndex(2);
  colours->show();
  Settle();
  colours->grab().save(out + QStringLiteral("/kavo-colours.png"));
  colours->hide();

  auto* com = kavo::Forms().setting;
  int32_t port = 3;
  com->SetPortTarget(port, cancelled);
  com->show();
  Settle();
  com->grab().save(out + QStringLiteral("/kavo-com.png"));
  com->hide();
  std::printf("%s/kavo-colours.png\n%s/kavo-com.png\n", out.toLocal8Bit().constData(), out.toLocal8Bit().constData());
  kavo::DestroyForms();
  return 0;
}
