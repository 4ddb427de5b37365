// Window-free helpers on the measurement records: clearing, the point-record
// decoding, and the 5-point smoothing used before the analysis.
#pragma once

#include <cstdint>

#include "data/Kavo_setting.h"

namespace kavo {

// Writes "0" into the first 19 bytes of every slot. valid, dateTime and band
// stay as they are; callers clear valid themselves.
void ClearData(MeasureData& data);

// valid := 0, every R := -1, every Theta and Freq := 0.
void ClearValues(PointValues& values);

// True when at least one of the five reference sets is valid.
bool AnyRefLoaded(const MeasureData refs[MaxRefs]);

// Decodes the 18 hexadecimal characters of one point record. R and theta are
// always produced; the frequency only when the divisor is not 0, and the
// result is false when it is 0. Characters that are not hex digits count 0.
bool DecodeRecord(const PointText& record, float& r, float& theta, float& freq);

// The mean of in[k - 1], in[k] and in[k + 1], summed in extended precision.
inline float Mean3(const float* in, int k) {
  const long double sum = static_cast<long double>(in[k - 1]) + in[k] + in[k + 1];
  return static_cast<float>(sum * (1.0L / 3.0L));
}

// 5-point smoothing of R and Theta over the slots of `band`: the end slots
// copy raw, their neighbours take the 3-point mean, the rest the 5-point
// mean. The valid flag and Freq of `smooth` are not written; an unknown band
// leaves `smooth` untouched.
void MakeSmoothValues(const PointValues& raw, int32_t band, PointValues& smooth);

}  // namespace kavo
