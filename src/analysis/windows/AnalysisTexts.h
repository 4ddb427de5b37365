// The window's Japanese texts for what the analyses return as codes and
// numbers: one place, beside the message catalogue.
#pragma once

#include <QString>

#include "analysis/QcCheck.h"
#include "analysis/QcRules.h"

namespace kavo {

// A reason of a failed quality check, whole ("R が 24.29–53.78 Hz で許容範囲外
// （最大 +124.1 %、許容 ±10 %）") or short enough for a status pane
// ("R が 24.3–53.8 Hz で +124 %").
QString QcReasonText(const QcReason& reason);
QString QcReasonShort(const QcReason& reason);
// "合格", or "不合格：" with the first reason's short form (the others are in
// the whole text).
QString QcVerdictShort(const QcVerdict& verdict);
// "不合格：" and every reason, one a line; "合格" for a pass.
QString QcVerdictText(const QcVerdict& verdict);
// A rules file's error: "3行目: 不明なキー 'Fz'" (the line left out for 0).
QString QcRuleErrorText(const QcRuleError& error);

}  // namespace kavo
