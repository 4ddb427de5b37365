// The table reader of `kavo-tool import` and "読込み" on arbitrary text.
// What it accepts is sorted and finite; what it resamples onto a band must
// convert and write as a .DTA file, as an imported file is.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  std::vector<TablePoint> points;
  QString error;
  if (!ParseTable(std::string(reinterpret_cast<const char*>(data), size), points, error)) {
    if (error.isEmpty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  if (points.size() < 2) __builtin_trap();
  for (size_t i = 0; i < points.size(); ++i) {
    const TablePoint& p = points[i];
    if (!std::isfinite(p.freq) || !std::isfinite(p.r) || !std::isfinite(p.theta)) __builtin_trap();
    if (i > 0 && !(points[i - 1].freq < p.freq)) __builtin_trap();
  }
  const KAVO_File file;
  for (int32_t band = 1; band <= 4; ++band) {
    if (!TableCoversBand(points, band)) continue;
    MeasureData measure;
    if (!ResampleTable(points, band, "2026/12/08 9:00:00", measure, error)) continue;
    PointValues raw, ave;
    if (!file.ConvertData(&measure, &raw, &ave)) __builtin_trap();
    SettingsRecord settings;
    if (!file.WriteDataFile(fuzz::ScratchFile(nullptr, 0, "import.dta"), "IMPORT", &settings, &measure))
      __builtin_trap();
  }
  return 0;
}
