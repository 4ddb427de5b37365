#include <gtest/gtest.h>

#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "data_fixture.h"

using namespace kavo;
using kavo::test::FillBand;
using kavo::test::Record;
using kavo::test::SetSlot;

namespace {

struct Converted {
  float r = 0, theta = 0, freq = -1;
  bool ok = false;
};

Converted Decode(const std::string& text) {
  PointText p{};
  std::memcpy(p.c, text.data(), std::min<size_t>(text.size(), RecordLength));
  Converted c;
  c.ok = DecodeRecord(p, c.r, c.theta, c.freq);
  return c;
}

}  // namespace

TEST(Conversion, PointRecordFields) {
  Converted c = Decode("000000000000000001");
  EXPECT_TRUE(c.ok);
  EXPECT_FLOAT_EQ(c.r, 0.005f);
  EXPECT_FLOAT_EQ(c.theta, 0.05f);
  EXPECT_EQ(c.freq, 0.0f);

  // Theta is a 16-bit two's complement code.
  EXPECT_FLOAT_EQ(Decode(Record(0, 0xFFFF, 0, 1)).theta, -0.05f);
  EXPECT_FLOAT_EQ(Decode(Record(0, 0x8000, 0, 1)).theta, -3276.75f);
  EXPECT_FLOAT_EQ(Decode(Record(0, 0x7FFF, 0, 1)).theta, 3276.75f);
  EXPECT_FLOAT_EQ(Decode(Record(0xFFFF, 0, 0, 1)).r, 655.355f);

  // f = count * 1000/65536 / divisor
  EXPECT_FLOAT_EQ(Decode(Record(0, 0, 0x100000, 1)).freq, 16000.0f);
  EXPECT_FLOAT_EQ(Decode(Record(0, 0, 0xFFFFFF, 3)).freq,
                  static_cast<float>(16777215.0L * 1000.0L / 65536.0L / 3.0L));
  EXPECT_FLOAT_EQ(Decode(Record(1234, 0, 1311, 1)).freq, 1311.0f * 1000.0f / 65536.0f);
}

TEST(Conversion, LowerCaseAndNonHexCharacters) {
  const Converted upper = Decode("ABCDEF01A0B0C0D0E0");
  const Converted lower = Decode("abcdef01a0b0c0d0e0");
  EXPECT_TRUE(upper.ok);
  EXPECT_EQ(upper.r, lower.r);
  EXPECT_EQ(upper.theta, lower.theta);
  EXPECT_EQ(upper.freq, lower.freq);
  EXPECT_FLOAT_EQ(upper.r, 0xABCD * 0.01f + 0.005f);

  // Characters that are no hex digits count as 0.
  const Converted junk = Decode("1G2Z0000000100 001");
  const Converted zeros = Decode("102000000001000001");
  EXPECT_TRUE(junk.ok);
  EXPECT_EQ(junk.r, zeros.r);
  EXPECT_EQ(junk.freq, zeros.freq);

  // A divisor of 0 gives R and theta but no frequency.
  const Converted noDivisor = Decode(Record(100, 10, 5000, 0));
  EXPECT_FALSE(noDivisor.ok);
  EXPECT_FLOAT_EQ(noDivisor.r, 1.005f);
  EXPECT_FLOAT_EQ(noDivisor.theta, 1.05f);
  EXPECT_EQ(noDivisor.freq, -1.0f);  // untouched
}

TEST(Conversion, BandSlotRangesAndAveraging) {
  const KAVO_File file;
  for (int32_t band = 1; band <= 4; ++band) {
    SCOPED_TRACE(band);
    static MeasureData data;
    ClearData(data);
    FillBand(data, band);
    PointValues raw, ave;
    raw.R[450] = 7.0f;  // stale value outside every band must be cleared
    ASSERT_TRUE(file.ConvertData(&data, &raw, &ave));
    EXPECT_EQ(raw.valid, 1);
    EXPECT_EQ(ave.valid, 1);
    const int first = BandFirstSlot(band), last = BandLastSlot(band);
    for (int k = 0; k < MaxPoints; ++k) {
      const bool inBand = k >= first && k <= last;
      EXPECT_EQ(raw.R[k] != -1.0f, inBand) << k;
      EXPECT_EQ(ave.R[k] != -1.0f, inBand) << k;
      if (!inBand) {
        EXPECT_EQ(raw.Freq[k], 0.0f) << k;
      }
      EXPECT_EQ(ave.Freq[k], raw.Freq[k]) << k;
    }
    EXPECT_EQ(ave.R[first], raw.R[first]);
    EXPECT_EQ(ave.Theta[first], raw.Theta[first]);
    EXPECT_EQ(ave.R[last], raw.R[last]);
    EXPECT_EQ(ave.Theta[last], raw.Theta[last]);
    for (int k = first + 1; k < last; ++k) {
      EXPECT_FLOAT_EQ(ave.R[k], (raw.R[k - 1] + raw.R[k] + raw.R[k + 1]) / 3.0f) << k;
      EXPECT_NEAR(ave.Theta[k], (raw.Theta[k - 1] + raw.Theta[k] + raw.Theta[k + 1]) / 3.0, 1e-3) << k;
    }
  }
}

TEST(Conversion, ZeroDivisorStopsWithPartialState) {
  const KAVO_File file;
  static MeasureData data;
  FillBand(data, 3);
  const int bad = 200;
  SetSlot(data, bad, Record(300, 20, 4000, 0));
  PointValues raw, ave;
  EXPECT_FALSE(file.ConvertData(&data, &raw, &ave));
  EXPECT_EQ(raw.valid, 0);
  EXPECT_EQ(ave.valid, 0);
  for (int k = 143; k < bad; ++k) {
    EXPECT_NE(raw.R[k], -1.0f);
    EXPECT_NE(raw.Freq[k], 0.0f);
    EXPECT_EQ(ave.Freq[k], raw.Freq[k]);
    EXPECT_EQ(ave.R[k], -1.0f);  // averaging never ran
  }
  EXPECT_FLOAT_EQ(raw.R[bad], 3.005f);
  EXPECT_FLOAT_EQ(raw.Theta[bad], 2.05f);
  EXPECT_EQ(raw.Freq[bad], 0.0f);
  EXPECT_EQ(ave.Freq[bad], 0.0f);
  EXPECT_EQ(raw.R[bad + 1], -1.0f);

  // A cleared data set never converts: every divisor is 0.
  ClearData(data);
  EXPECT_FALSE(file.ConvertData(&data, &raw, &ave));
}

TEST(Conversion, MissingArgumentsAndBadBand) {
  const KAVO_File file;
  static MeasureData data;
  FillBand(data, 1);
  PointValues raw, ave;
  raw.R[0] = 42.0f;
  EXPECT_FALSE(file.ConvertData(nullptr, &raw, &ave));
  EXPECT_FALSE(file.ConvertData(&data, nullptr, &ave));
  EXPECT_FALSE(file.ConvertData(&data, &raw, nullptr));
  EXPECT_EQ(raw.R[0], 42.0f);  // nothing touched

  for (int32_t band : {0, 5, -1}) {
    data.band = band;
    EXPECT_FALSE(file.ConvertData(&data, &raw, &ave)) << band;
    EXPECT_EQ(raw.valid, 0);
  }
}

TEST(Conversion, SinglePointWhileMeasuring) {
  const KAVO_File file;
  static MeasureData data;
  ClearData(data);
  SetSlot(data, 10, Record(1000, 0xFFF6, 65536, 2));
  PointValues raw, ave;
  raw.valid = ave.valid = 1;
  EXPECT_TRUE(file.ConvertPoint(&data, &raw, 10, &ave));
  EXPECT_FLOAT_EQ(raw.R[10], 10.005f);
  EXPECT_FLOAT_EQ(ave.R[10], 10.005f);
  EXPECT_FLOAT_EQ(raw.Theta[10], -0.95f);
  EXPECT_FLOAT_EQ(ave.Theta[10], -0.95f);
  EXPECT_FLOAT_EQ(raw.Freq[10], 500.0f);
  EXPECT_FLOAT_EQ(ave.Freq[10], 500.0f);
  EXPECT_EQ(raw.valid, 1);  // flags untouched
  EXPECT_EQ(raw.R[9], -1.0f);

  SetSlot(data, 11, Record(200, 1, 65536, 0));
  EXPECT_FALSE(file.ConvertPoint(&data, &raw, 11, &ave));
  EXPECT_FLOAT_EQ(raw.R[11], 2.005f);  // kept although the frequency is missing
  EXPECT_EQ(raw.Freq[11], 0.0f);

  EXPECT_FALSE(file.ConvertPoint(&data, &raw, MaxPoints, &ave));
  EXPECT_FALSE(file.ConvertPoint(&data, &raw, -1, &ave));
  EXPECT_FALSE(file.ConvertPoint(nullptr, &raw, 10, &ave));
}

TEST(DataModel, ClearingAndReferenceQuery) {
  static MeasureData data;
  data.valid = 1;
  data.band = 3;
  data.dateTime = "2026/01/02 3:04:05";
  data.points[7].c[19] = 0;
  ClearData(data);
  EXPECT_EQ(data.valid, 1);
  EXPECT_EQ(data.band, 3);
  EXPECT_EQ(data.dateTime, "2026/01/02 3:04:05");
  for (const PointText& slot : data.points) {
    EXPECT_EQ(std::string(slot.c, 19), std::string(19, '0'));
    EXPECT_EQ(slot.c[19], 0);
  }

  PointValues values;
  values.valid = 1;
  values.R[3] = 5;
  values.Theta[3] = 6;
  values.Freq[503] = 7;
  ClearValues(values);
  EXPECT_EQ(values.valid, 0);
  EXPECT_EQ(values.R[3], -1.0f);
  EXPECT_EQ(values.Theta[3], 0.0f);
  EXPECT_EQ(values.Freq[503], 0.0f);

  static MeasureData refs[MaxRefs];
  EXPECT_FALSE(AnyRefLoaded(refs));
  refs[4].valid = 1;  // beyond any reference count: still looked at
  EXPECT_TRUE(AnyRefLoaded(refs));
}

TEST(DataModel, FivePointSmoothing) {
  PointValues raw, smooth;
  for (int k = 0; k < MaxPoints; ++k) {
    raw.R[k] = static_cast<float>((k * k) % 17);
    raw.Theta[k] = static_cast<float>(k % 5) - 2.0f;
  }
  smooth.Freq[150] = 123.0f;
  MakeSmoothValues(raw, 3, smooth);
  const int first = 143, last = 263;
  EXPECT_EQ(smooth.R[first], raw.R[first]);
  EXPECT_EQ(smooth.R[last], raw.R[last]);
  EXPECT_FLOAT_EQ(smooth.R[first + 1], (raw.R[first] + raw.R[first + 1] + raw.R[first + 2]) / 3.0f);
  EXPECT_FLOAT_EQ(smooth.R[last - 1], (raw.R[last - 2] + raw.R[last - 1] + raw.R[last]) / 3.0f);
  for (int k = first + 2; k <= last - 2; ++k) {
    float sum = 0;
    for (int j = -2; j <= 2; ++j) sum += raw.R[k + j];
    EXPECT_FLOAT_EQ(smooth.R[k], sum * 0.2f) << k;
    EXPECT_NEAR(smooth.Theta[k], 0.0f, 1e-6) << k;  // a full period of k % 5 averages out
  }
  EXPECT_EQ(smooth.R[first - 1], -1.0f);  // outside the band untouched
  EXPECT_EQ(smooth.R[last + 1], -1.0f);
  EXPECT_EQ(smooth.Freq[150], 123.0f);
  EXPECT_EQ(smooth.valid, 0);
}
