// Shared data records of KAVO: the band table, one measurement in text and
// numeric form, and the user settings. Everything is fixed-size so that the
// main window can hold it as plain members; nothing is allocated per sweep.
#pragma once

#include <QList>
#include <QRect>
#include <cstdint>
#include <string>

namespace kavo {

constexpr int MaxPoints = 504;  // slots per data set; bands use 0..399
constexpr int MaxRefs = 5;      // reference data sets
constexpr int RecordLength = 18;  // characters of one point record
constexpr int PointTextSize = 20; // record + NUL + one spare

// Band numbers are 1..4; anything else is not a band and the look-ups below
// return 0 for it (callers validate bands before they get here).
struct BandRow {
  int32_t freqMin;
  int32_t freqMax;
  int32_t pointCount;
  int32_t firstSlot;
  int32_t lastSlot;
};
extern const BandRow BandTable[4];

bool IsBand(int32_t band);
int32_t BandFreqMin(int32_t band);
int32_t BandFreqMax(int32_t band);
int32_t BandPointCount(int32_t band);
int32_t BandFirstSlot(int32_t band);
int32_t BandLastSlot(int32_t band);
// The band box's item texts, UTF-8 ("全帯域", "低域", "中域", "高域").
const char* BandName(int32_t band);
// The unit's frequency grid: log-spaced pieces through slot 0 = 20 Hz,
// 143 = 250 Hz, 263 = 2000 Hz and 399 = 20000 Hz.
double GridFrequency(int slot);

// One point record as the unit sent it: 18 characters, NUL, one spare 0.
struct PointText {
  char c[PointTextSize];
};

// One data set. Text fields hold code page 932 bytes.
struct MeasureData {
  uint8_t valid = 0;
  std::string dateTime;  // opaque one-line text
  int32_t band = 1;
  PointText points[MaxPoints] = {};
};

// The numeric form of a data set.
struct PointValues {
  uint8_t valid = 0;
  float R[MaxPoints];
  float Theta[MaxPoints];
  float Freq[MaxPoints];
  PointValues() { Clear(); }
  void Clear() {
    valid = 0;
    for (int k = 0; k < MaxPoints; ++k) {
      R[k] = -1.0f;
      Theta[k] = 0.0f;
      Freq[k] = 0.0f;
    }
  }
};

// Colours are 0x00BBGGRR integers. The default pens:
constexpr int32_t DefaultPenR = 16711680;        // blue
constexpr int32_t DefaultPenTheta = 255;         // red
constexpr int32_t DefaultPenRRef = 8421376;      // teal
constexpr int32_t DefaultPenThetaRef = 8388736;  // purple
constexpr int32_t DefaultCommPort = 1;

struct SettingsRecord {
  int32_t CommPortNum = DefaultCommPort;
  int32_t PenColor_R = DefaultPenR;
  int32_t PenColor_Theta = DefaultPenTheta;
  int32_t PenColor_R_Ref[MaxRefs] = {DefaultPenRRef, DefaultPenRRef, DefaultPenRRef, DefaultPenRRef, DefaultPenRRef};
  int32_t PenColor_Theta_Ref[MaxRefs] = {DefaultPenThetaRef, DefaultPenThetaRef, DefaultPenThetaRef,
                                         DefaultPenThetaRef, DefaultPenThetaRef};
  std::string pstr[3];  // print information lines, code page 932
};

struct ViewSettings {
  int32_t top = 178;
  int32_t left = 255;
  int32_t width = 640;
  int32_t height = 480;
  int32_t band = 1;
  uint8_t fronly = 0;
  uint8_t fwide = 0;
  uint8_t fave3 = 1;
  uint8_t fwarning = 0;
};

// Port 1 and the default line colours; the print texts are left alone.
void SetDefaults(SettingsRecord& settings);

// Where the window stored in `view` goes on the screens now attached: a
// place beyond the primary screen `area` becomes 100, a size beyond it the
// screen less 100; a window off every screen (left of or above them all, or
// on a screen no longer attached) moves to 100,100, one partly on a screen
// stays put.
QRect PlaceWindow(const ViewSettings& view, const QRect& area, const QList<QRect>& screens);

}  // namespace kavo
