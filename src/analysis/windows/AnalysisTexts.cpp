#include "analysis/windows/AnalysisTexts.h"

#include "messages/Ka_texts.h"

namespace kavo {

QString LoadFailureText(LoadFailure failure, const QString& why) {
  const auto u = [](const char* text) { return QString::fromUtf8(text); };
  switch (failure) {
    case LoadFailure::None: break;
    case LoadFailure::EmptyName: return u("ファイル名がありません");
    case LoadFailure::NoSuchFile: return u("ファイルがありません");
    case LoadFailure::Folder: return u("フォルダです");
    case LoadFailure::CannotOpen: return u("読み込めませんでした (権限がありません)");
    case LoadFailure::TooLarge: return u("ファイルが大きすぎます");
    case LoadFailure::NotData: return u(msgtext::DataFileError);
    case LoadFailure::Unconvertible: return u(msgtext::CalcDataError);
    case LoadFailure::Table: return why;
  }
  return QString();
}

QString FileFailureText(const QString& file, LoadFailure failure, const QString& why) {
  const QString reason = LoadFailureText(failure, why);
  return file.isEmpty() ? reason : file + QString::fromUtf8("：") + reason;
}

QString RangeReversedText() { return QString::fromUtf8("周波数範囲の下限が上限以上です"); }

}  // namespace kavo
