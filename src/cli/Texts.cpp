// kavo-tool's messages: see cli/Texts.h.
#include "cli/Texts.h"

#include <QTranslator>
#include <memory>
#include <ostream>

#include "data/WholeFile.h"
#include "messages/Ka_texts.h"

namespace kavo::cli {
namespace {

// The analysis window's texts the tool prints, for the translation tools to
// find: the window shows them as they stand. The message catalogue's own
// texts are marked where they are kept (messages/Ka_texts.h).
[[maybe_unused]] const char* const CatalogueTexts[] = {
    QT_TRANSLATE_NOOP("Catalogue", "ピークは検出できませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "Re の値が正しくありません"),
    QT_TRANSLATE_NOOP("Catalogue", "f1 が求まりませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "f2 が求まりませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "f1,f2 が正しく計算できませんでした"),
};

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

QString Catalogue(const QString& japanese) {
  return QCoreApplication::translate("Catalogue", japanese.toUtf8().constData());
}

QString BadDataFileText() { return Catalogue(QString::fromUtf8(msgtext::DataFileError)); }
QString CalcDataErrorText() { return Catalogue(QString::fromUtf8(msgtext::CalcDataError)); }

bool IsJapanese(const QLocale& locale) {
  // The first language the user asked for (LC_ALL, LC_MESSAGES, LANG, LANGUAGE).
  const QStringList languages = locale.uiLanguages();
  const QLocale first = languages.isEmpty() ? locale : QLocale(languages.front());
  return first.language() == QLocale::Japanese;
}

bool UseLanguage(const QLocale& locale) {
  std::unique_ptr<QTranslator>& installed = Installed();
  if (installed) QCoreApplication::removeTranslator(installed.get());
  installed = std::make_unique<QTranslator>();
  const QString file = IsJapanese(locale) ? QStringLiteral(":/i18n/kavo-tool_ja.qm") : QStringLiteral(":/i18n/kavo-tool_en.qm");
  if (!installed->load(file)) {
    installed.reset();
    return false;
  }
  QCoreApplication::installTranslator(installed.get());
  return true;
}

QString CannotBeWrittenText() {
  const QString why = WriteErrorText();
  return why.isEmpty() ? ToolText::tr("cannot be written") : ToolText::tr("cannot be written (%1)").arg(why);
}

void Say(std::ostream& err, const char* command, const QString& text) {
  err << "kavo-tool";
  if (command) err << ' ' << command;
  err << ": " << Std(text) << '\n';
}

void SayFile(std::ostream& err, const char* command, const QString& file, const QString& reason, bool output) {
  const QString name = file != QLatin1String("-") ? file
                       : output                   ? ToolText::tr("standard output")
                                                  : ToolText::tr("standard input");
  Say(err, command, name + QStringLiteral(": ") + reason);
}

}  // namespace kavo::cli
