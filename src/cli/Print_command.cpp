// kavo-tool print: the page of "グラフ印刷" as a PDF, made by the main window
// itself (hidden, on the offscreen platform) through its own open, reference
// and print commands; the dialogs those commands ask are answered from the
// command line instead of by a person.
#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPushButton>
#include <ostream>

#include "cli/KavoTool.h"
#include "data/Kavo_file.h"
#include "graph/Kavo_printinfo.h"
#include "platform/Modal.h"
#include "platform/Names.h"
#include "platform/Paths.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo::cli {
namespace {

constexpr const char* PrintUsage =
    "FILE.DTA [--ref FILE]... [--info TEXT]... [--landscape] [--dpi N] -o PAGE.pdf";
constexpr int MinDpi = 50, MaxDpi = 600;  // the window prints a PDF at 600 dpi

int UsageError(std::ostream& err, const std::string& what) {
  err << "kavo-tool print: " << what << "\nusage: kavo-tool print " << PrintUsage << '\n';
  return ExitUsage;
}

void Messages(std::ostream& err, const QStringList& texts) {
  for (const QString& t : texts) err << "kavo-tool print: " << t.toStdString() << '\n';
}

// Destroys the windows however the command ends.
struct WindowsGuard {
  ~WindowsGuard() { DestroyForms(); }
};

}  // namespace

int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  QString file, output;
  QStringList refs, info;
  bool landscape = false;
  int dpi = MaxDpi;
  for (int i = 0; i < args.size(); ++i) {
    const QString& a = args[i];
    const bool valued = a == QLatin1String("--ref") || a == QLatin1String("--info") || a == QLatin1String("--dpi") ||
                        a == QLatin1String("-o");
    if (valued && i + 1 >= args.size()) return UsageError(err, a.toStdString() + " needs a value");
    if (a == QLatin1String("--ref")) {
      refs << args[++i];
    } else if (a == QLatin1String("--info")) {
      info << args[++i];
    } else if (a == QLatin1String("--dpi")) {
      bool ok = false;
      dpi = args[++i].toInt(&ok);
      if (!ok || dpi < MinDpi || dpi > MaxDpi)
        return UsageError(err, "--dpi takes a whole number from " + std::to_string(MinDpi) + " to " +
                                   std::to_string(MaxDpi));
    } else if (a == QLatin1String("-o")) {
      output = args[++i];
    } else if (a == QLatin1String("--landscape")) {
      landscape = true;
    } else if (a.startsWith(QLatin1Char('-'))) {
      return UsageError(err, "unknown option " + a.toStdString());
    } else if (file.isEmpty()) {
      file = a;
    } else {
      return UsageError(err, "one measurement file only (references with --ref)");
    }
  }
  if (file.isEmpty()) return UsageError(err, "no file given");
  if (output.isEmpty()) return UsageError(err, "no output given (-o PAGE.pdf)");
  if (info.size() > 3) return UsageError(err, "at most three --info lines");
  // What the information window's lines accept: one line each, at most
  // MaxPrintInfoBytes bytes in code page 932.
  const PrintInfoValidator lineCheck;
  for (int k = 0; k < info.size(); ++k) {
    QString line = info[k];
    int pos = 0;
    if (lineCheck.validate(line, pos) != QValidator::Acceptable)
      return UsageError(err, "--info line " + std::to_string(k + 1) + " is not one line of at most " +
                                 std::to_string(MaxPrintInfoBytes) + " bytes in code page 932");
  }
  if (refs.size() > MaxRefs) return UsageError(err, "at most " + std::to_string(MaxRefs) + " references");
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    err << "kavo-tool print: needs the widget application\n";
    return ExitFailed;
  }

  ScopedScriptedModal modal;
  TFormMain* main = CreateForms();
  WindowsGuard guard;
  if (!main || main->StartupFailed()) {
    Messages(err, modal->MessageTexts());
    return ExitFailed;
  }
  // The stored settings (colours, view, window size) as the window takes
  // them at start, but a missing settings file is not created from here.
  main->settingsPending = 0;
  if (QFileInfo::exists(SettingsPath(QString::fromLatin1(SettingsFileName))))
    main->mApplyStoredSettings();
  main->show();  // lays the paint area and the scale labels out
  QCoreApplication::processEvents();
  main->settingsPending = 0;

  // "開く" and "読込み" with the files chosen.
  modal->fileAnswers.push_back(QFileInfo(file).absoluteFilePath());
  main->MenuFile_OpenClick();
  if (!main->mainData.valid) {
    Messages(err, modal->MessageTexts());
    return ExitUnreadable;
  }
  for (const QString& ref : refs) {
    const int before = main->refCount;
    modal->fileListAnswers.push_back({QFileInfo(ref).absoluteFilePath()});
    main->MenuRef_OpenClick();
    if (main->refCount != before + 1 || !main->refData[before].valid) {
      err << "kavo-tool print: " << ref.toStdString() << '\n';
      Messages(err, modal->MessageTexts());
      return ExitUnreadable;
    }
  }
  const qsizetype shown = modal->MessageTexts().size();  // the over-range note is no failure

  // "グラフ印刷": the information lines typed, the print dialog confirmed
  // with a PDF printer.
  QPrinter& printer = main->mPrinter();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setResolution(dpi);
  printer.setOutputFileName(QFileInfo(output).absoluteFilePath());
  modal->dialogHandler = [&info](QDialog& dialog) {
    auto* form = dynamic_cast<TFormPrnInfo*>(&dialog);
    if (!form) return 0;
    QLineEdit* edits[3] = {form->Edit1, form->Edit2, form->Edit3};
    for (int k = 0; k < 3; ++k) edits[k]->setText(k < info.size() ? info[k] : QString());
    form->Button1->click();
    return form->result();
  };
  modal->printAnswers.push_back(true);
  main->MenuFile_PrintClick();
  const QStringList messages = modal->MessageTexts().mid(shown);
  if (!messages.isEmpty() || !QFileInfo(output).isFile()) {
    Messages(err, messages);
    if (messages.isEmpty()) err << "kavo-tool print: " << output.toStdString() << " was not written\n";
    return ExitFailed;
  }
  out << QFileInfo(output).absoluteFilePath().toStdString() << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
