#include "data/Kavo_data.h"

#include <algorithm>

#include "data/HexText.h"

namespace kavo {

void ClearData(MeasureData& data) {
  for (PointText& slot : data.points)
    for (int i = 0; i < RecordLength + 1; ++i) slot.c[i] = '0';
}

void ClearValues(PointValues& values) { values.Clear(); }

bool AnyRefLoaded(const MeasureData refs[MaxRefs]) {
  for (int k = 0; k < MaxRefs; ++k)
    if (refs[k].valid == 1) return true;
  return false;
}

bool DecodeRecord(const PointText& record, float& r, float& theta, float& freq) {
  const char* t = record.c;
  const uint32_t rCode = HexField(t, 4);
  int32_t thetaCode = static_cast<int32_t>(HexField(t + 4, 4));
  if (thetaCode > 0x7FFF) thetaCode -= 0x10000;
  const uint32_t count = HexField(t + 8, 6);
  const uint32_t divisor = HexField(t + 14, 4);
  // Products in extended precision, stored as float like the unit's own tool.
  r = static_cast<float>(static_cast<long double>(rCode) * 0.01L + 0.005L);
  theta = static_cast<float>(static_cast<long double>(thetaCode) * 0.1L + 0.05L);
  if (divisor == 0) return false;
  // 1000/65536 exactly
  freq = static_cast<float>(static_cast<long double>(count) * 0.0152587890625L / divisor);
  return true;
}

void MakeSmoothValues(const PointValues& raw, int32_t band, PointValues& smooth) {
  if (!IsBand(band)) return;
  const int first = BandFirstSlot(band);
  const int last = BandLastSlot(band);
  auto smoothArray = [&](const float* in, float* out) {
    for (int k = first; k <= last; ++k) {
      const int fromEnd = std::min(k - first, last - k);
      if (fromEnd == 0) {
        out[k] = in[k];
      } else if (fromEnd == 1) {
        out[k] = Mean3(in, k);
      } else {
        const long double sum =
            static_cast<long double>(in[k - 2]) + in[k - 1] + in[k] + in[k + 1] + in[k + 2];
        out[k] = static_cast<float>(sum * 0.2L);
      }
    }
  };
  smoothArray(raw.R, smooth.R);
  smoothArray(raw.Theta, smooth.Theta);
}

}  // namespace kavo
