// The window's Japanese texts for what the analyses and the file readers
// return as codes and numbers: one place, beside the message catalogue
// (whose texts are used where it has one).
#pragma once

#include <QString>

#include "analysis/BoxModel.h"
#include "analysis/Compensation.h"
#include "analysis/Fitter.h"
#include "analysis/QcCheck.h"
#include "analysis/QcRules.h"
#include "analysis/Ts_analysis.h"
#include "data/CurveFile.h"

namespace kavo {

// Why the resonance analysis gave no table, and the caption it is shown under.
QString TsFailureText(TsFailure failure);
QString TsFailureCaption(TsFailure failure);

// Why a model fit gave nothing, and what a fit warns of.
QString FitFailureText(FitFailure failure);
QString FitFailureText(const FitResult& result);  // with the numbers it names
QString FitWarningText(const FitNotice& notice);
// What the box fit says beside its values, and where its driver came from.
QString BoxNoteText(BoxNote note);
QString DriverSourceText(DriverSource source);
// Why a crossover part gave no values; why no compensation was designed.
QString PartFailureText(PartFailure failure);
QString CompFailureText(const CompensationResult& result);

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

// Why a file did not become a data set; `why` is the table reader's own
// reason (naming the line) for LoadFailure::Table.
QString LoadFailureText(LoadFailure failure, const QString& why);

// "FILE：reason" as a window tells of a file it was given; the reason alone
// when no name was given.
QString FileFailureText(const QString& file, LoadFailure failure, const QString& why);

// A frequency range whose lower end is not below its upper end.
QString RangeReversedText();

}  // namespace kavo
