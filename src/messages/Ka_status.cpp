#include "messages/Ka_status.h"

#include "messages/StatusPanels.h"

#include <QFontMetrics>

namespace kavo {

KStatus::KStatus(StatusPanels* statusBar, const QString& modelName, int lastPanel)
    : statusBar_(statusBar), modelName_(modelName), lastPanel_(lastPanel) {}

int KStatus::PanelWidthFor(const QFont& font, const QString& text) {
  const int textWidth = QFontMetrics(font).horizontalAdvance(text);
  return textWidth <= kNarrowTextWidth ? kMinPanelWidth : textWidth + kTextMargin;
}

void KStatus::SetPanelText(const QString& text, int panel) {
  if (panel < 0 || panel > lastPanel_ || statusBar_.isNull()) return;
  statusBar_->SetPanelText(panel, text, &KStatus::PanelWidthFor);
}

void KStatus::ClearPanel(int panel) { SetPanelText(QString(), panel); }

void KStatus::ShowUnitInfo(const QString& model, const QString& serial, const QString& version) {
  SetPanelText(model + QStringLiteral("/ SN=") + serial + QStringLiteral("/ ") + version, 0);
}

void KStatus::ShowUnitMissing() {
  SetPanelText(modelName_ + QStringLiteral(" が見つかりませんでした"), 0);
}

void KStatus::ShowPortError() { SetPanelText(QStringLiteral("通信ポートが開けません"), 0); }

namespace {
const char* const ReceiveError = "データ受信エラーです";
}

void KStatus::ShowReceiveError() { SetPanelText(QString::fromUtf8(ReceiveError), 0); }

void KStatus::ClearReceiveError() {
  if (!statusBar_.isNull() && statusBar_->PanelText(0) == QString::fromUtf8(ReceiveError)) ClearPanel(0);
}

void KStatus::ShowSendError() { SetPanelText(QStringLiteral("コマンド送信エラーです"), 1); }

void KStatus::ShowResponseError() {
  SetPanelText(modelName_ + QStringLiteral(" 応答エラーです"), 1);
}

void KStatus::ShowNotUnit() { SetPanelText(modelName_ + QStringLiteral(" ではありません"), 1); }

void KStatus::ShowNotCalibrated() {
  SetPanelText(modelName_ + QStringLiteral(" 未校正です"), 1);
}

void KStatus::ShowMeasuring() { SetPanelText(QStringLiteral("測定中です"), 1); }

void KStatus::ShowReceiving() { SetPanelText(QStringLiteral("データ受信中です"), 1); }

void KStatus::ShowCalculating() { SetPanelText(QStringLiteral("計算中です"), 1); }

void KStatus::ShowMeasureDone() { SetPanelText(QStringLiteral("測定終了しました"), 1); }

void KStatus::ShowMeasureStopped() { SetPanelText(QStringLiteral("測定中止しました"), 1); }

void KStatus::ShowCalcError() {
  SetPanelText(QStringLiteral("データエラーで計算できませんでした"), 1);
}

void KStatus::ShowSaveError() { SetPanelText(QStringLiteral("データ保存できませんでした"), 1); }

void KStatus::ShowExportDone() { SetPanelText(QStringLiteral("データ書き出し完了"), 1); }

}  // namespace kavo
