#include "data/Kavo_setting.h"

#include <algorithm>

namespace kavo {

const BandRow BandTable[4] = {
    {20, 20000, 400, 0, 399},
    {20, 250, 144, 0, 143},
    {250, 2000, 121, 143, 263},
    {2000, 20000, 137, 263, 399},
};

bool IsBand(int32_t band) { return band >= 1 && band <= 4; }

int32_t BandFreqMin(int32_t band) { return IsBand(band) ? BandTable[band - 1].freqMin : 0; }
int32_t BandFreqMax(int32_t band) { return IsBand(band) ? BandTable[band - 1].freqMax : 0; }
int32_t BandPointCount(int32_t band) { return IsBand(band) ? BandTable[band - 1].pointCount : 0; }
int32_t BandFirstSlot(int32_t band) { return IsBand(band) ? BandTable[band - 1].firstSlot : 0; }
// An unknown band walks nothing: first 0, last -1.
int32_t BandLastSlot(int32_t band) { return IsBand(band) ? BandTable[band - 1].lastSlot : -1; }

const char* BandName(int32_t band) {
  static const char* const names[4] = {"全帯域", "低域", "中域", "高域"};
  return IsBand(band) ? names[band - 1] : "";
}

void SetDefaults(SettingsRecord& settings) {
  const SettingsRecord defaults;
  settings.CommPortNum = defaults.CommPortNum;
  settings.PenColor_R = defaults.PenColor_R;
  settings.PenColor_Theta = defaults.PenColor_Theta;
  std::copy_n(defaults.PenColor_R_Ref, MaxRefs, settings.PenColor_R_Ref);
  std::copy_n(defaults.PenColor_Theta_Ref, MaxRefs, settings.PenColor_Theta_Ref);
}

}  // namespace kavo
