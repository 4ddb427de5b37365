#include "analysis/Curves.h"

#include <memory>

#include "data/Kavo_data.h"

namespace kavo {

FitCurve BandCurve(const MeasureData& data, const PointValues& raw) {
  return CurveFromSlots(raw.R, raw.Theta, raw.Freq, BandFirstSlot(data.band), BandLastSlot(data.band));
}

LoadFailure ReadFitCurve(const QString& file, FitCurve& curve, QString& why) {
  const auto set = std::make_unique<CurveSet>();
  const LoadFailure failure = ReadCurveSet(file, CurveRead{}, *set, why);
  curve = failure == LoadFailure::None ? BandCurve(set->data, set->raw) : FitCurve{};
  return failure;
}

LoadFailure OpenTsSession(const QString& file, TsSession& s, QString& why) {
  const LoadFailure failure = ReadCurveFile(file, CurveRead{}, s.data, s.raw, s.ave, why);
  if (failure != LoadFailure::None) return failure;
  MakeSmoothValues(s.raw, s.data.band, s.smooth);
  s.analysis.SetSource(&s.raw, &s.smooth, &s.data);
  s.analysis.FindPeaks();
  return LoadFailure::None;
}

}  // namespace kavo
