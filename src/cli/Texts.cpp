// kavo-tool's messages: see cli/Texts.h.
#include "cli/Texts.h"

#include <QTranslator>
#include <memory>
#include <ostream>

namespace kavo::cli {
namespace {

// The catalogue texts the tool prints, for the translation tools to find:
// the window shows them as they stand.
[[maybe_unused]] const char* const CatalogueTexts[] = {
    QT_TRANSLATE_NOOP("Catalogue", "データファイルの内容が正しくありませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "データエラーで計算できませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "ピークは検出できませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "Re の値が正しくありません"),
    QT_TRANSLATE_NOOP("Catalogue", "f1 が求まりませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "f2 が求まりませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "f1,f2 が正しく計算できませんでした"),
    QT_TRANSLATE_NOOP("Catalogue", "データがありません"),
    QT_TRANSLATE_NOOP("Catalogue", "参照データは５個までにしてください"),
    QT_TRANSLATE_NOOP("Catalogue", "印刷できませんでした。プリンタと出力先を確認して下さい。"),
    QT_TRANSLATE_NOOP("Catalogue", "抵抗値の最大値が150Ωを越えています"),
    QT_TRANSLATE_NOOP("Catalogue", "初期設定ファイルを保存できませんでした"),
};

std::unique_ptr<QTranslator>& Installed() {
  static std::unique_ptr<QTranslator> translator;
  return translator;
}

}  // namespace

QString Catalogue(const QString& japanese) {
  return QCoreApplication::translate("Catalogue", japanese.toUtf8().constData());
}

QString BadDataFileText() { return Catalogue(QStringLiteral("データファイルの内容が正しくありませんでした")); }
QString CalcDataErrorText() { return Catalogue(QStringLiteral("データエラーで計算できませんでした")); }

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
