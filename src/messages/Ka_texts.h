// The texts of the message catalogue, in one table without any window code:
// TK_Message shows them in its boxes, kavo-tool writes the same words to
// standard error (translated in its "Catalogue" context, hence the marks
// for the translation tools). UTF-8 here; the boxes and the tool convert as
// they show.
#pragma once

#include <QtGlobal>

namespace kavo::msgtext {

inline constexpr char FatalMemoryPrefix[] = QT_TRANSLATE_NOOP("Catalogue", "致命的なメモリエラーです:");
inline constexpr char IniSaveError[] = QT_TRANSLATE_NOOP("Catalogue", "初期設定ファイルを保存できませんでした");
inline constexpr char DataFileError[] = QT_TRANSLATE_NOOP("Catalogue", "データファイルの内容が正しくありませんでした");
inline constexpr char ComOpenError[] = QT_TRANSLATE_NOOP("Catalogue", "COMポートが開けませんでした。COM番号を確認して下さい。");
inline constexpr char UnitNotFound[] = QT_TRANSLATE_NOOP("Catalogue", "KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。");
inline constexpr char CalcDataError[] = QT_TRANSLATE_NOOP("Catalogue", "データエラーで計算できませんでした");
inline constexpr char NoData[] = QT_TRANSLATE_NOOP("Catalogue", "データがありません");
inline constexpr char DiscardAndMeasure[] = QT_TRANSLATE_NOOP("Catalogue", "測定データを保存していません。破棄して新しい測定を開始しますか？");
inline constexpr char DiscardData[] = QT_TRANSLATE_NOOP("Catalogue", "測定データを保存していません。データを破棄しますか？");
inline constexpr char Quit[] = QT_TRANSLATE_NOOP("Catalogue", "測定データを保存していません。終了しますか？");
inline constexpr char Discard[] = QT_TRANSLATE_NOOP("Catalogue", "測定データを保存していません。破棄しますか？");
inline constexpr char VersionMismatch[] = QT_TRANSLATE_NOOP("Catalogue", "ユニットとアプリケーションのバージョンがミスマッチです");
inline constexpr char TooManyReferences[] = QT_TRANSLATE_NOOP("Catalogue", "参照データは５個までにしてください");
inline constexpr char PrintError[] = QT_TRANSLATE_NOOP("Catalogue", "印刷できませんでした。プリンタと出力先を確認して下さい。");
inline constexpr char OverRange[] = QT_TRANSLATE_NOOP("Catalogue", "抵抗値の最大値が150Ωを越えています");

}  // namespace kavo::msgtext
