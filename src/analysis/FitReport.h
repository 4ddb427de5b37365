// A fit's results as the user gets them, from its table of reported values
// (analysis/FitModel.h): the text table, the JSON object and a WinISD-style
// driver file. Numbers never depend on the locale.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "analysis/Fitter.h"

namespace kavo {

// Value and σ (display units) as text, with the decimals that two
// significant digits of σ need; "0" for σ 0, "---" for one not known.
void FormatWithSigma(double value, double sigma, QString& valueText, QString& sigmaText);

// "name<TAB>value<TAB>±σ<TAB>unit" per reported value, then the residual in %.
QByteArray FitTableText(const FitResult& result);

// One JSON object: "values" and "sigma" (the total) by key (display
// units), "sigma_parts" by key ({"stat", "model", "input"}),
// "residual_correlation" (ρ at one point's lag), "residual_correlation_points"
// (τ, the points per independent one that the stat part of σ counts), "residual_rms", "model" (`modelName`), "range_hz" (the first curve's range
// as fitted), "ranges_hz" (every curve's, by the model's curve names) and
// "warnings" (`warnings`). A value not known is null.
QByteArray FitJson(const FitResult& result, const QString& modelName, const QStringList& warnings);

// A WinISD-style driver file: [Driver] with Brand, Model, Comment and what
// the fit determined in SI units, in the model's order for the file. The
// Comment names `modelName`, the ranges fitted, the residual and each
// value's total σ (SI, "Fs 84.59 ±0.52") after `comment`. Line breaks and other control characters in the texts become
// spaces: they would start keys of their own.
struct DriverFileInfo {
  QString brand, model, comment;
};
QByteArray WdrText(const FitResult& result, const QString& modelName, const DriverFileInfo& info);

}  // namespace kavo
