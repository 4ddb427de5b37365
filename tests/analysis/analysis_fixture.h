// Curves made up slot by slot for the analysis tests: R and F per slot of
// a band, smoothed as the menu command does.
#pragma once

#include <functional>
#include <map>

#include "analysis/Ts_analysis.h"
#include "data/Kavo_data.h"

namespace kavo::test {

struct Curve {
  MeasureData data;
  PointValues raw, smooth;
  TsAnalysis analysis;

  // R(k) := r(k), F(k) := f(k) over the band's slots; then the smoothing
  // and the search.
  Curve(int32_t band, const std::function<double(int)>& r,
        const std::function<double(int)>& f = [](int k) { return 10.0 * (k + 1); }) {
    data.band = band;
    data.valid = 1;
    for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
      raw.R[k] = static_cast<float>(r(k));
      raw.Freq[k] = static_cast<float>(f(k));
    }
    raw.valid = 1;
    MakeSmoothValues(raw, band, smooth);
    analysis.SetSource(&raw, &smooth, &data);
    analysis.FindPeaks();
  }
  std::vector<int> Peaks() const {
    return std::vector<int>(analysis.peakSlots, analysis.peakSlots + analysis.peakCount);
  }
};

// R given at a few slots, `base` everywhere else.
inline std::function<double(int)> Points(std::map<int, double> at, double base = 1.0) {
  return [at, base](int k) {
    auto it = at.find(k);
    return it == at.end() ? base : it->second;
  };
}

}  // namespace kavo::test
