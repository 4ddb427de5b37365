// kavo-tool's messages in the user's language. The tool's own texts are
// English in the source (ToolText::tr); the window's catalogue texts that
// the tool also prints are Japanese in the source (Catalogue). One
// translator, chosen by the locale, turns the one or the other: Japanese
// under a Japanese locale, English otherwise. Both catalogues are built
// into the program.
#pragma once

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <iosfwd>
#include <string>

#include "analysis/Fitter.h"

#include "analysis/Compensation.h"
#include "analysis/PartModel.h"
#include "analysis/QcCheck.h"
#include "analysis/QcRules.h"
#include "analysis/Ts_analysis.h"
#include "analysis/Ts_mechanics.h"
#include "data/CurveFile.h"

namespace kavo::cli {

class ToolText {
  Q_DECLARE_TR_FUNCTIONS(ToolText)
};

// A text of the window's message catalogue (or another window text the
// tool prints), in the language of the installed translator.
QString Catalogue(const QString& japanese);

// The catalogue's "データファイルの内容が正しくありませんでした" (a file that is
// no measurement), "データエラーで計算できませんでした" (one whose numbers
// cannot be converted), translated.
QString BadDataFileText();
QString CalcDataErrorText();

// A reason of a failed quality check ("R leaves the band at 20.36–41.26 Hz
// by up to +21.3 % (allowed ±10 %)") and a rules file's error without its
// line ("unknown key 'Fz'").
QString QcReasonText(const QcReason& reason);
QString QcRuleErrorText(const QcRuleError& error);

// Why a file could not be read, as the tool says it; `why` is the table
// reader's own reason for LoadFailure::Table.
QString LoadFailureText(LoadFailure failure, const QString& why);

// Why the resonance analysis gave no table ("no peak was found").
QString TsFailureText(TsFailure failure);
// Why the mechanical parameters cannot be had from the two measurements.
QString MechanicsFailureText(const MechanicsFailure& failure);
// Why a model fit gave nothing, and what a fit warns of.
QString FitFailureText(FitFailure failure);
QString FitFailureText(const FitResult& result);  // with the numbers it names
QString FitWarningText(const FitNotice& notice);

// "cannot be written (No space left on device)": the reason the last
// failed write recorded (data/WholeFile), where there is one.
QString CannotBeWrittenText();

// Why a part's measurement gave nothing (the band to use instead, where one
// resolves it); how auto recognised the part; the points left out.
QString PartFailureText(const PartResult& result);
QString PartRecognisedText(PartKind kind);
// Why a part gave no values, in a few words (the quality check's reasons).
QString PartFailureShortText(PartFailure failure);
QString PartLeftOutText(int leftOut, int given);
// Why a compensation could not be designed.
QString CompFailureText(const CompensationResult& result);

// Installs the translator for `locale`, replacing the one installed before.
// False when the catalogue for it is missing from the program.
bool UseLanguage(const QLocale& locale);
// True when `locale` makes the tool speak Japanese.
bool IsJapanese(const QLocale& locale);

inline std::string Std(const QString& text) { return text.toStdString(); }

// "kavo-tool COMMAND: text" as one line on `err` ("kavo-tool: text" without a command).
void Say(std::ostream& err, const char* command, const QString& text);
// "kavo-tool COMMAND: FILE: reason"; "-" is named as standard input or output.
void SayFile(std::ostream& err, const char* command, const QString& file, const QString& reason,
             bool output = false);

}  // namespace kavo::cli
