#include "data/Kavo_setting.h"

#include <algorithm>
#include <cmath>

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

double GridFrequency(int slot) {
  slot = std::clamp(slot, 0, 399);
  struct Piece {
    int first, last;
    double f0, f1;
  };
  static constexpr Piece pieces[] = {{0, 143, 20.0, 250.0}, {143, 263, 250.0, 2000.0}, {263, 399, 2000.0, 20000.0}};
  for (const Piece& p : pieces) {
    if (slot <= p.last) {
      const double t = double(slot - p.first) / double(p.last - p.first);
      return p.f0 * std::pow(p.f1 / p.f0, t);
    }
  }
  return 20000.0;
}

void SetDefaults(SettingsRecord& settings) {
  const SettingsRecord defaults;
  settings.CommPortNum = defaults.CommPortNum;
  settings.PenColor_R = defaults.PenColor_R;
  settings.PenColor_Theta = defaults.PenColor_Theta;
  std::copy_n(defaults.PenColor_R_Ref, MaxRefs, settings.PenColor_R_Ref);
  std::copy_n(defaults.PenColor_Theta_Ref, MaxRefs, settings.PenColor_Theta_Ref);
}

QRect PlaceWindow(const ViewSettings& view, const QRect& area, const QList<QRect>& screens) {
  const int top = view.top > area.height() ? 100 : view.top;
  const int left = view.left > area.width() ? 100 : view.left;
  const int width = view.width > area.width() ? area.width() - 100 : view.width;
  const int height = view.height > area.height() ? area.height() - 100 : view.height;
  const QRect placed(left, top, width, height);
  for (const QRect& s : screens)
    if (s.intersects(placed)) return placed;
  return QRect(100, 100, width, height);
}

}  // namespace kavo
