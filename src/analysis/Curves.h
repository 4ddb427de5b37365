// Curves as the analyses take them: a data set's band as a fitted curve,
// and a file read, converted and searched for its peaks as "結果を分析" does.
// Every window and kavo-tool command reads its curves through these (and
// data/CurveFile underneath).
#pragma once

#include <QString>

#include "analysis/ModelFit.h"
#include "analysis/Ts_analysis.h"
#include "data/CurveFile.h"
#include "data/Kavo_setting.h"

namespace kavo {

// The slots of data's band, converted (`raw`), as a curve for the fit.
FitCurve BandCurve(const MeasureData& data, const PointValues& raw);

// A curve file (.DTA or a table on the first band it covers) as the fit
// takes it; empty, with the reason, when it cannot be read.
LoadFailure ReadFitCurve(const QString& file, FitCurve& curve, QString& why);

// A measurement, its values and the peak search, as the analysis window
// holds them.
struct TsSession {
  MeasureData data;
  PointValues raw, ave, smooth;
  TsAnalysis analysis;
};
// Reads and converts `file` (any curve format), smooths it and lists its peaks.
LoadFailure OpenTsSession(const QString& file, TsSession& session, QString& why);

}  // namespace kavo
