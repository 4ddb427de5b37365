// The .DTA reader on arbitrary file contents. An accepted file must also
// convert and write back without fault.
#include <cstdint>

#include "FuzzInput.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  const KAVO_File file;
  MeasureData measure;
  std::string serial;
  int32_t port = 0;
  if (!file.ReadDataFile(fuzz::ScratchFile(data, size, "dta"), &serial, &port, &measure)) return 0;
  PointValues raw, ave, smooth;
  if (file.ConvertData(&measure, &raw, &ave)) MakeSmoothValues(raw, measure.band, smooth);
  SettingsRecord settings;
  settings.CommPortNum = port;
  file.WriteDataFile(fuzz::ScratchFile(nullptr, 0, "out.dta"), serial, &settings, &measure);
  return 0;
}
