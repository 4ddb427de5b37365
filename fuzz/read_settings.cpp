// The settings reader on arbitrary file contents; what it accepts must
// write back.
#include <cstdint>

#include "FuzzInput.h"
#include "data/Kavo_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  const KAVO_File file;
  SettingsRecord settings;
  ViewSettings view;
  if (!file.ReadSettings(fuzz::ScratchFile(data, size, "ini"), &settings, &view)) return 0;
  file.WriteSettings(fuzz::ScratchFile(nullptr, 0, "out.ini"), &settings, &view);
  return 0;
}
