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
#include <vector>

#include "cli/Files.h"
#include "cli/KavoTool.h"
#include "cli/Texts.h"
#include "data/Kavo_file.h"
#include "graph/Kavo_printinfo.h"
#include "platform/Modal.h"
#include "platform/Names.h"
#include "platform/Paths.h"
#include "shell/Forms.h"
#include "shell/Kavo_main.h"

namespace kavo::cli {
namespace {

constexpr int MinDpi = 50, MaxDpi = 600;  // the window prints a PDF at 600 dpi

const Option PrintOptions[] = {
    {"--ref", "FILE", QT_TRANSLATE_NOOP("ToolText", "a reference curve (.DTA, .zma, .txt or .csv), up to 5"), Repeatable},
    {"--info", "TEXT", QT_TRANSLATE_NOOP("ToolText", "a line of the page's information, up to 3"), Repeatable},
    {"--landscape", nullptr, QT_TRANSLATE_NOOP("ToolText", "the page across (upright unless given)")},
    {"--dpi", "N", QT_TRANSLATE_NOOP("ToolText", "the resolution, 50 to 600 (600 unless given)")},
    {"-o", "PAGE.pdf", QT_TRANSLATE_NOOP("ToolText", "the page's file, - for standard output"), Required},
};

// The window's messages, about `file` when one is named.
void Messages(std::ostream& err, const QStringList& texts, const QString& file = {}) {
  for (const QString& t : texts) {
    if (file.isEmpty()) Say(err, "print", Catalogue(t));
    else SayFile(err, "print", file, Catalogue(t));
  }
}

// What the command line asks for.
struct PrintRequest {
  int status = Proceed;
  QString file, output;
  QStringList refs, info;
  bool landscape = false;
  int dpi = MaxDpi;
};

PrintRequest ParsePrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  PrintRequest r;
  CommandLine line;
  if ((r.status = ParseCommandLine(PrintCommand, args, line, out, err)) != Proceed) return r;
  auto refuse = [&](const QString& what) {
    r.status = UsageError(PrintCommand, what, err);
    return r;
  };
  r.file = line.operands.front();
  r.output = line.Value("-o");
  r.refs = line.Values("--ref");
  r.info = line.Values("--info");
  r.landscape = line.Has("--landscape");
  if (line.Has("--dpi")) {
    bool ok = false;
    r.dpi = line.Value("--dpi").toInt(&ok);
    if (!ok || r.dpi < MinDpi || r.dpi > MaxDpi)
      return refuse(ToolText::tr("--dpi takes a whole number from %1 to %2").arg(MinDpi).arg(MaxDpi));
  }
  if ((r.status = CheckOutput(PrintCommand, r.output, QStringList{r.file} + r.refs, {"pdf"}, err)) != Proceed) return r;
  if (r.info.size() > 3) return refuse(ToolText::tr("at most three --info lines"));
  // What the information window's lines accept: one line each, at most
  // MaxPrintInfoBytes bytes in code page 932.
  const PrintInfoValidator lineCheck;
  for (int k = 0; k < r.info.size(); ++k) {
    QString text = r.info[k];
    int pos = 0;
    if (lineCheck.validate(text, pos) != QValidator::Acceptable)
      return refuse(ToolText::tr("--info line %1 is not one line of at most %2 bytes in code page 932")
                        .arg(k + 1)
                        .arg(MaxPrintInfoBytes));
  }
  if (r.refs.size() > MaxRefs) return refuse(ToolText::tr("at most %1 references").arg(MaxRefs));
  return r;
}

// Destroys the windows however the command ends.
struct WindowsGuard {
  ~WindowsGuard() { DestroyForms(); }
};

}  // namespace

const Command PrintCommand{"print", "FILE.DTA", QT_TRANSLATE_NOOP("ToolText", "the printed page of the graph as a PDF"),
                           PrintOptions, RunPrint};

int RunPrint(const QStringList& args, std::ostream& out, std::ostream& err) {
  const PrintRequest request = ParsePrint(args, out, err);
  if (request.status != Proceed) return request.status;
  const QString &file = request.file, &output = request.output;
  const QStringList &refs = request.refs, &info = request.info;
  const bool landscape = request.landscape;
  const int dpi = request.dpi;
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
    Say(err, "print", ToolText::tr("drawing needs the widget application"));
    return ExitFailed;
  }

  // The files first, so that a missing one is named as missing.
  InputFile mainInput;
  std::vector<InputFile> refInputs(size_t(refs.size()));
  QString why;
  if (!mainInput.Open(file, why)) {
    SayFile(err, "print", file, why);
    return ExitUnreadable;
  }
  for (qsizetype k = 0; k < refs.size(); ++k)
    if (!refInputs[size_t(k)].Open(refs[k], why)) {
      SayFile(err, "print", refs[k], why);
      return ExitUnreadable;
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
  modal->fileAnswers.push_back(QFileInfo(mainInput.Path()).absoluteFilePath());
  main->MenuFile_OpenClick();
  if (!main->mainData.valid) {
    Messages(err, modal->MessageTexts(), file);
    return ExitUnreadable;
  }
  for (qsizetype k = 0; k < refs.size(); ++k) {
    const int before = main->refCount;
    const qsizetype shownBefore = modal->MessageTexts().size();
    modal->fileListAnswers.push_back({QFileInfo(refInputs[size_t(k)].Path()).absoluteFilePath()});
    main->MenuRef_OpenClick();
    if (main->refCount != before + 1 || !main->refData[before].valid) {
      Messages(err, modal->MessageTexts().mid(shownBefore), refs[k]);
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
  const OutputFile page(output);
  printer.setOutputFileName(QFileInfo(page.Path()).absoluteFilePath());
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
  if (!messages.isEmpty() || !QFileInfo(page.Path()).isFile() || !page.Deliver(out)) {
    Messages(err, messages, output);
    if (messages.isEmpty()) SayFile(err, "print", output, ToolText::tr("cannot be written"), true);
    return ExitFailed;
  }
  if (!page.ToStdout()) out << Std(QFileInfo(output).absoluteFilePath()) << '\n';
  return ExitOk;
}

}  // namespace kavo::cli
