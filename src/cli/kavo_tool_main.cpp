// kavo-tool: see cli/KavoTool.h.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <clocale>
#include <iostream>
#include <memory>

#include "cli/KavoTool.h"
#include "cli/Texts.h"

int main(int argc, char** argv) {
  QStringList args;
  for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);
  // Commands that draw get the widget application on the offscreen platform,
  // whatever QT_QPA_PLATFORM says: no window shows and no display is needed.
  // Everything else (help, version, a wrong command line) runs without one.
  // Qt's platform start looks into the runtime folder and, where there is
  // no valid one (cron, ssh, a container), says so and makes
  // /tmp/runtime-USER. A private folder of this run stands in and goes with it.
  std::unique_ptr<QTemporaryDir> runtime;
  std::unique_ptr<QCoreApplication> app;
  if (kavo::cli::NeedsWidgets(args)) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(xdg) || !QFileInfo(xdg).isDir()) {
      runtime = std::make_unique<QTemporaryDir>();
      if (runtime->isValid()) qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    app = std::make_unique<QApplication>(argc, argv);
  } else {
    app = std::make_unique<QCoreApplication>(argc, argv);  // file names in the locale's encoding
  }
  // The application object has taken the locale from the environment; the
  // numbers written for programs keep the point whatever LC_NUMERIC says.
  std::setlocale(LC_NUMERIC, "C");
  // Japanese under a Japanese locale, English otherwise.
  kavo::cli::UseLanguage(QLocale::system());
  args = QCoreApplication::arguments();
  args.removeFirst();
  return kavo::cli::RunTool(args, std::cout, std::cerr);
}
