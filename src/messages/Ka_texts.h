// The texts of the message catalogue, in one table without any window code:
// TK_Message shows them in its boxes, kavo-tool writes the same words to
// standard error. UTF-8 here; the boxes and the tool convert as they show.
#pragma once

namespace kavo::msgtext {

inline constexpr char FatalMemoryPrefix[] = "致命的なメモリエラーです:";
inline constexpr char IniSaveError[] = "初期設定ファイルを保存できませんでした";
inline constexpr char DataFileError[] = "データファイルの内容が正しくありませんでした";
inline constexpr char ComOpenError[] = "COMポートが開けませんでした。COM番号を確認して下さい。";
inline constexpr char UnitNotFound[] = "KA-Vユニットが見つかりませんでした。COM番号を確認して下さい。";
inline constexpr char CalcDataError[] = "データエラーで計算できませんでした";
inline constexpr char NoData[] = "データがありません";
inline constexpr char DiscardAndMeasure[] = "測定データを保存していません。破棄して新しい測定を開始しますか？";
inline constexpr char DiscardData[] = "測定データを保存していません。データを破棄しますか？";
inline constexpr char Quit[] = "測定データを保存していません。終了しますか？";
inline constexpr char Discard[] = "測定データを保存していません。破棄しますか？";
inline constexpr char VersionMismatch[] = "ユニットとアプリケーションのバージョンがミスマッチです";
inline constexpr char TooManyReferences[] = "参照データは５個までにしてください";
inline constexpr char PrintError[] = "印刷できませんでした。プリンタと出力先を確認して下さい。";
inline constexpr char OverRange[] = "抵抗値の最大値が150Ωを越えています";

}  // namespace kavo::msgtext
