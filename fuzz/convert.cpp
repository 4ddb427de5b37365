// One point record through the conversion and the read-outs of the status
// bar, and any number through every number pattern.
//   input: 8 bytes of a double, 1 pattern byte, 1 separator byte,
//          2 bytes of a slot index, 1 band byte, then the record's characters.
#include <cmath>
#include <cstdint>

#include "FuzzInput.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data/Stringutil.h"
#include "shell/Kavo_main.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  static const char* const patterns[] = {"0.00", "#0.00", "#.00", "#.0", "#.000", "0.0"};
  fuzz::Bytes in(data, size);
  double value = 0;
  in.Take(&value, sizeof value);
  const char* pattern = patterns[in.Byte() % 6];
  const char separator = (in.Byte() & 1) ? ',' : '.';
  const std::string text = FormatNumber(value, pattern, separator);
  if (text.empty()) __builtin_trap();

  int16_t index = 0;
  in.Take(&index, sizeof index);
  static MeasureData measure;  // large; kept between runs and reset below
  measure.band = static_cast<int8_t>(in.Byte());
  const int32_t slot = ((index % MaxPoints) + MaxPoints) % MaxPoints;
  PointText& record = measure.points[slot];
  in.Take(record.c, RecordLength);
  record.c[RecordLength] = '\0';

  static PointValues raw, ave;
  raw.Clear();
  ave.Clear();
  const KAVO_File file;
  file.ConvertPoint(&measure, &raw, index, &ave);
  const QString readout = TFormMain::mFormatFrequency(record) + TFormMain::mFormatResistance(record) +
                          TFormMain::mFormatPhase(record);
  if (readout.isEmpty()) __builtin_trap();
  std::memset(record.c, 0, PointTextSize);
  return 0;
}
