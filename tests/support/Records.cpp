#include "Records.h"

#include <cmath>

#include "UnitModel.h"
#include "UnitProtocol.h"
#include "TempDir.h"
#include "data/Interchange.h"
#include "data/Kavo_file.h"

namespace kavo::test {

void FillBand(MeasureData& data, int32_t band,
              const std::function<void(double freq, double& r, double& theta)>& model) {
  data.band = band;
  for (int k = BandFirstSlot(band); k <= BandLastSlot(band); ++k) {
    const double f = kavsim::SlotFrequency(k);
    double r = 0, theta = 0;
    model(f, r, theta);
    const std::string rec = kavsim::EncodePoint(r, theta, f);
    for (int i = 0; i < RecordLength; ++i) data.points[k].c[i] = rec[static_cast<size_t>(i)];
    data.points[k].c[RecordLength] = '\0';
  }
}

void WooferModel(double freq, double& r, double& theta, double fs, double peak) {
  const double re = 6.0, qm = 4.0;
  const double x = qm * (freq / fs - fs / freq);
  const double res = peak - re;
  // Re + Res / (1 + jx)
  const double denom = 1 + x * x;
  const double real = re + res / denom, imag = -res * x / denom + 2 * M_PI * freq * 0.00005;
  r = std::hypot(real, imag);
  theta = std::atan2(imag, real) * 180.0 / M_PI;
}

bool FillFromUnit(MeasureData& data, const kavsim::DriverModel& model, double noise, uint32_t seed) {
  kavsim::UnitConfig config;
  config.model = model;
  config.noise = noise;
  config.seed = seed;
  kavsim::UnitProtocol unit(config);
  bool hangUp = false;
  const std::string stream = unit.SweepStream(1, hangUp);
  if (stream.size() != 400u * 19 + 3) return false;
  data.band = 1;
  data.dateTime = "2026/12/08 9:30:00";
  for (int k = 0; k < 400; ++k) {
    for (int i = 0; i < RecordLength; ++i) data.points[k].c[i] = stream[size_t(k) * 19 + size_t(i)];
    data.points[k].c[RecordLength] = '\0';
  }
  return true;
}

QString WriteDriverFile(const QString& path, double fs) {
  kavsim::DriverModel model;
  model.Fs = fs;
  MeasureData data;
  PointValues raw, ave;
  const SettingsRecord settings;
  if (!FillFromUnit(data, model) || !KAVO_File().ConvertData(&data, &raw, &ave)) return {};
  const bool written = path.endsWith(QLatin1String(".DTA"))
                           ? KAVO_File().WriteDataFile(path, "0815", &settings, &data)
                           : WriteAll(path, QByteArray::fromStdString(ZmaText(raw, data, path, "0815")));
  return written ? path : QString();
}

}  // namespace kavo::test
