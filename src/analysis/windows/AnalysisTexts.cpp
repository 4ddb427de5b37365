// See analysis/windows/AnalysisTexts.h.
#include "analysis/windows/AnalysisTexts.h"

namespace kavo {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

}  // namespace

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
  }
  return {};
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
    case FitWarning::NoCovariance:
      return U("不確かさを計算できませんでした（データでは決まらないパラメータがあります）");
  }
  return {};
}

}  // namespace kavo
