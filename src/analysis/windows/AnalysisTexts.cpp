// The window's texts of the analyses: see analysis/windows/AnalysisTexts.h.
#include "analysis/windows/AnalysisTexts.h"

#include <QStringList>
#include <cmath>

#include "messages/Ka_texts.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }
QString Name(int param) { return QString::fromStdString(QcParamName(param)); }
QString Signed(double v, int digits) {
  const QString n = digits > 0 ? QString::number(v, 'g', digits) : QcNumber(v);
  return (v >= 0 ? QStringLiteral("+") : QString()) + n;
}
QString Unit(const QcReason& r) {
  return r.percent ? QStringLiteral(" %") : r.channel == QcChannel::R ? QStringLiteral(" Ω") : QStringLiteral(" deg");
}
QString ChannelName(const QcReason& r) { return r.channel == QcChannel::R ? QStringLiteral("R") : U("θ"); }
// "24.29–53.78 Hz", "42 Hz".
QString Where(double f1, double f2, int digits) {
  auto n = [digits](double f) { return std::abs(f) >= 1000 || digits == 0 ? QcNumber(f) : QString::number(f, 'g', digits); };
  return f1 == f2 ? QStringLiteral("%1 Hz").arg(n(f1)) : QStringLiteral("%1–%2 Hz").arg(n(f1), n(f2));
}

QString MissingText(const QcReason& r) {
  switch (r.missing) {
    case QcMissing::Analysis: return TsFailureText(r.tsFailure);
    case QcMissing::NoRe: return U("Re が指定されていません（re = OHMS）");
    case QcMissing::Fit: return FitFailureText(r.fitFailure);
    case QcMissing::Part: return PartFailureText(r.partFailure);
    default: return U("適合したモデルにない値です");
  }
}

}  // namespace

QString TsFailureText(TsFailure failure) {
  switch (failure) {
    case TsFailure::None: return {};
    case TsFailure::NoPeak: return QStringLiteral("ピークは検出できませんでした");
    case TsFailure::BadRe: return QStringLiteral("Re の値が正しくありません");
    case TsFailure::NoF1: return QStringLiteral("f1 が求まりませんでした");
    case TsFailure::NoF2: return QStringLiteral("f2 が求まりませんでした");
    case TsFailure::SameF1F2: return QStringLiteral("f1,f2 が正しく計算できませんでした");
  }
  return {};
}

QString TsFailureCaption(TsFailure failure) {
  return failure == TsFailure::NoPeak ? QStringLiteral("ピーク値の計算") : QStringLiteral("Ts の計算");
}

QString QcReasonText(const QcReason& r) {
  switch (r.kind) {
    case QcReasonKind::OutsideBand:
      return U("%1 が %2 で許容範囲外（最大 %3、許容 ±%4）")
          .arg(ChannelName(r), Where(r.f1, r.f2, 0), Signed(r.measured, 0) + Unit(r), QcNumber(r.allowed) + Unit(r));
    case QcReasonKind::NotCovered:
      return U("曲線が比較範囲 %1 を覆っていません").arg(Where(r.f1, r.f2, 0));
    case QcReasonKind::NoPointInRange:
      return U("曲線に比較範囲 %1 の測定点がありません").arg(Where(r.f1, r.f2, 0));
    case QcReasonKind::OutsideLimit: {
      QString limit = QcInterval(r.lo, r.hi);
      if (r.percent) limit += QStringLiteral(" (%1 ±%2 %)").arg(QcNumber(r.refValue), QcNumber(r.allowed));
      return U("%1 %2 が %3 の外").arg(Name(r.param), QcNumber(r.measured), limit);
    }
    case QcReasonKind::NotDetermined: return U("%1 が求まりません: %2").arg(Name(r.param), MissingText(r));
    case QcReasonKind::NoReferenceValue: return U("参照の %1 が求まりません").arg(Name(r.param));
  }
  return {};
}

QString QcReasonShort(const QcReason& r) {
  switch (r.kind) {
    case QcReasonKind::OutsideBand:
      return U("%1 が %2 で %3").arg(ChannelName(r), Where(r.f1, r.f2, 3), Signed(r.measured, 3) + Unit(r));
    case QcReasonKind::NotCovered:
    case QcReasonKind::NoPointInRange: return U("比較範囲 %1 の測定点不足").arg(Where(r.f1, r.f2, 3));
    case QcReasonKind::OutsideLimit: return U("%1 %2 が範囲外").arg(Name(r.param), QcNumber(r.measured));
    case QcReasonKind::NotDetermined: return U("%1 が求まりません").arg(Name(r.param));
    case QcReasonKind::NoReferenceValue: return U("参照の %1 が求まりません").arg(Name(r.param));
  }
  return {};
}

QString QcVerdictShort(const QcVerdict& v) {
  if (v.pass) return U("合格");
  return U("不合格：") + QcReasonShort(v.reasons.front());
}

QString QcVerdictText(const QcVerdict& v) {
  if (v.pass) return U("合格");
  QStringList lines{U("不合格")};
  for (const QcReason& r : v.reasons) lines << QcReasonText(r);
  return lines.join(QLatin1Char('\n'));
}

QString QcRuleErrorText(const QcRuleError& e) {
  using P = QcRuleProblem;
  QString reason;
  switch (e.problem) {
    case P::NotKeyValue: reason = U("「キー = 値」の形ではありません"); break;
    case P::NoKey: reason = U("キーがありません"); break;
    case P::UnknownKey: reason = U("不明なキー '%1'").arg(e.text); break;
    case P::Twice: reason = U("'%1' が二度指定されています").arg(e.text); break;
    case P::NoValue: reason = U("'%1' に値がありません").arg(e.text); break;
    case P::NotNumber: reason = U("'%1' は数値でもパーセントでもありません").arg(e.text); break;
    case P::NotAngle: reason = U("'%1' は角度（deg）ではありません").arg(e.text); break;
    case P::BadRange: reason = U("range は「下限 上限」（Hz、下限 < 上限）です: '%1'").arg(e.text); break;
    case P::BadRe: reason = U("re は0より大きな抵抗値（Ω）です: '%1'").arg(e.text); break;
    case P::UpsideDown: reason = U("範囲の下限が上限より大きくなっています: '%1'").arg(e.text); break;
    case P::NoReference: reason = U("参照がありません（reference = PATH または reference = mean）"); break;
    case P::NeedsRe: reason = U("%1 には re = OHMS が必要です").arg(e.text); break;
    case P::NotDetermined:
      reason = U("'%1' は検査の解析（1本の曲線の適合）では求まりません").arg(e.text);
      break;
    case P::NothingToCheck: reason = U("検査する項目がありません（R、theta、パラメータの許容範囲のどれも）"); break;
    case P::TooLarge: reason = U("許容範囲ファイルとしては大きすぎます（1 MiB まで）"); break;
    case P::Unreadable: reason = U("ファイルを読めません"); break;
    case P::ReferenceUnreadable: reason = U("参照 %1: %2").arg(e.text, LoadFailureText(e.load, e.detail)); break;
    case P::ReferenceUnconvertible: reason = U("参照 %1: データエラーで計算できませんでした").arg(e.text); break;
    case P::NoMeanReference: reason = U("平均を参照にするには参照データを開いてください"); break;
    case P::RangeEmpty:
      reason = e.text.isEmpty() ? U("参照に測定点がありません")
                                : U("比較範囲 %1 Hz に参照の測定点がありません").arg(e.text);
      break;
  }
  return e.line > 0 ? U("%1行目: %2").arg(e.line).arg(reason) : reason;
}

QString PartFailureText(PartFailure failure) {
  switch (failure) {
    case PartFailure::None: return {};
    case PartFailure::NonFinite: return FitFailureText(FitFailure::NonFinite);
    case PartFailure::TooFewResolvable: return U("本器が分解できる範囲（0.05～655.34 Ω）の測定点が足りません");
    case PartFailure::LooksLikeDriver: return U("部品ではなくスピーカーの曲線です");
    case PartFailure::NotRecognised: return U("θ がどの部品にも合いません");
    case PartFailure::AtOutside: return U("値を求める周波数が測定の範囲外です");
    case PartFailure::NotConverged: return FitFailureText(FitFailure::NotConverged);
  }
  return {};
}

QString CompFailureText(const CompensationResult& r) {
  switch (r.failure) {
    case CompFailure::None: return {};
    case CompFailure::NonFinite: return FitFailureText(FitFailure::NonFinite);
    case CompFailure::NoResonance: return U("スピーカーの共振が見つかりません（部品の曲線は「部品の測定」で）");
    case CompFailure::DriverFit: return U("スピーカーのモデル: ") + FitFailureText(r.fitFailure);
    case CompFailure::BadRe: return FitFailureText(FitFailure::BadRe);
    case CompFailure::BandOutside: return U("帯域は曲線の範囲内で、%1 点以上を含めてください").arg(MinFitPoints);
    case CompFailure::NotConverged: return FitFailureText(FitFailure::NotConverged);
    case CompFailure::BadPower: return U("入力電力は 0 より大きく %1 W 以下にしてください").arg(MaxPowerW);
    case CompFailure::OtherDriver:
      return U("ドライバファイルの Fs（%1 Hz）が曲線の共振（%2 Hz）から離れています。別のユニットのファイルではありませんか")
          .arg(r.driver.fs, 0, 'f', 1)
          .arg(r.peakHz, 0, 'f', 1);
  }
  return {};
}

QString FitFailureText(FitFailure failure) {
  switch (failure) {
    case FitFailure::None: return {};
    case FitFailure::NonFinite: return U("測定値に数値でない値があります");
    case FitFailure::TooFewPoints: return U("周波数範囲の測定点が少なすぎます（各曲線に10点以上必要です）");
    case FitFailure::NoResonance: return U("周波数範囲に共振のピークが見つかりません");
    case FitFailure::BadRe: return U("Reは0より大きく、ピークのRより小さな値にしてください");
    case FitFailure::LoadedNotBelow: return U("付加質量での共振周波数がフリーの共振周波数より低くありません");
    case FitFailure::BoxedNotAbove: return U("密閉箱での共振周波数がフリーの共振周波数より高くありません");
    case FitFailure::NeedsSd: return U("密閉箱の測定にはSdが必要です");
    case FitFailure::NotConverged: return U("適合が収束しませんでした");
    case FitFailure::NoValue: return U("適合で有限の値が得られません（周波数範囲にモデルで表せる共振がありません）");
    case FitFailure::ReAboveMinimum: return U("Re が曲線の抵抗分（Z の実部）の最小値より大きくなっています");
    case FitFailure::NoUncertainty: return U("不確かさを計算できません（データでは決まらないパラメータがあります）");
    case FitFailure::VentedGivenClosed: return U("箱の曲線にピークが2つあります。バスレフ箱ではありませんか");
    case FitFailure::ClosedGivenVented: return U("箱の曲線にピークが1つしかありません。密閉箱ではありませんか");
    case FitFailure::SecondPeakMissing:
      return U("バスレフ箱の低い方のピークが測定範囲より下にあります。もっと低い周波数から測定してください");
    case FitFailure::BadDriver: return U("ユニットの値が足りません（Fsと、Qms・Qes・Qtsのうち2つが必要です）");
    case FitFailure::BadVolume: return U("箱の容積は0より大きく10000 L以下にしてください");
  }
  return {};
}

QString FitFailureText(const FitResult& r) {
  if (r.failure != FitFailure::ReAboveMinimum) return FitFailureText(r.failure);
  return U("Re %1 Ω が曲線の抵抗分（Z の実部）の最小値 %2 Ω を測定点のばらつき以上に超えています（抵抗分は Re に負にならない項を加えたものです）")
      .arg(r.failureNumbers[0], 0, 'f', 3)
      .arg(r.failureNumbers[1], 0, 'f', 3);
}

QString FitWarningText(const FitNotice& n) {
  switch (n.what) {
    case FitWarning::PoorFit:
      return U("適合不良: 残差 %1 % が %2 % を超えています（ボイスコイルのモデルか周波数範囲を変えてください）")
          .arg(n.a, 0, 'f', 2)
          .arg(PoorFitResidual * 100, 0, 'f', 0);
    case FitWarning::MassShift:
      return U("付加質量によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）").arg(n.a, 0, 'f', 1);
    case FitWarning::BoxShift:
      return U("密閉箱によるFsの変化が %1 % です（15～45 % でないと結果が不安定です）").arg(n.a, 0, 'f', 1);
    case FitWarning::MassBoxDisagree:
      return U("付加質量と密閉箱の測定でMmsが不確かさを超えて異なります（%1 g と %2 g）")
          .arg(n.a, 0, 'f', 2)
          .arg(n.b, 0, 'f', 2);
    case FitWarning::ReAboveSmallestR:
      return U("適合した Re %1 Ω が曲線の抵抗分（Z の実部）の最小値 %2 Ω を不確かさ以上に超えています").arg(n.a, 0, 'f', 3).arg(n.b, 0, 'f', 3);
    case FitWarning::CoilModelsDisagreeOnRe:
      return U("ボイスコイルのモデルで Re が異なります（%1 Ω と別のモデルで %2 Ω）。Re を入力してください")
          .arg(n.a, 0, 'f', 3)
          .arg(n.b, 0, 'f', 3);
    case FitWarning::NoPhase: return U("位相なし：振幅のみで適合");
    case FitWarning::ClassicDisagree: {
      const ReportedValue& info = BoxValueInfoOf(int(n.a));
      return U("適合の %1 と簡易計算の値（%2 %3）が不確かさを超えて異なります")
          .arg(QString::fromUtf8(info.name), QString::number(n.b, 'g', 4), QString::fromUtf8(info.unit));
    }
  }
  return {};
}

QString BoxNoteText(BoxNote note) {
  switch (note) {
    case BoxNote::LossesCombined: return U("吸音損失QAとポート損失QPは曲線から分けられないため、合成のQBを示します");
    case BoxNote::FreeBelowRange:
      return U("フリーの共振は測定範囲より下にあり測定されていません。Fs・Qts・Vasは共振より上のフリーの曲線と箱から求めました");
    case BoxNote::LossesInQL:
      return U("ユニットの値がないため、吸音とポートの損失は合成のQBとして示します。両方がある箱では、その一部がQLとQmsに含まれます");
    case BoxNote::ReFitted: return U("Reが与えられていないため適合で求めました");
  }
  return {};
}

QString DriverSourceText(DriverSource source) {
  switch (source) {
    case DriverSource::Free: return U("ユニットの値はフリーの測定から箱と同時に適合しました");
    case DriverSource::File: return U("ユニットの値はドライバファイルのものです");
    case DriverSource::Typed: return U("ユニットの値は入力されたものです");
    case DriverSource::BoxOnly: return U("ユニットの値がないため、箱の曲線だけで決まる値を示します");
  }
  return {};
}

QString LoadFailureText(LoadFailure failure, const QString& why) {
  switch (failure) {
    case LoadFailure::None: break;
    case LoadFailure::EmptyName: return U("ファイル名がありません");
    case LoadFailure::NoSuchFile: return U("ファイルがありません");
    case LoadFailure::Folder: return U("フォルダです");
    case LoadFailure::CannotOpen: return U("読み込めませんでした (権限がありません)");
    case LoadFailure::TooLarge: return U("ファイルが大きすぎます");
    case LoadFailure::NotData: return U(msgtext::DataFileError);
    case LoadFailure::Unconvertible: return U(msgtext::CalcDataError);
    case LoadFailure::Table: return why;
  }
  return QString();
}

QString FileFailureText(const QString& file, LoadFailure failure, const QString& why) {
  const QString reason = LoadFailureText(failure, why);
  return file.isEmpty() ? reason : file + U("：") + reason;
}

QString RangeReversedText() { return U("周波数範囲の下限が上限以上です"); }

}  // namespace kavo
