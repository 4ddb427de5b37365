// Point records and whole data sets made up for tests.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "data/Kavo_setting.h"

namespace kavsim {
struct DriverModel;
}

namespace kavo::test {

// Fills the band's slots of `data` from `model(freq, r, theta)` and marks the
// band; valid stays as it was.
void FillBand(MeasureData& data, int32_t band,
              const std::function<void(double freq, double& r, double& theta)>& model);

// A woofer-like curve: 6 ohm, peak of `peak` ohm at `fs` Hz.
void WooferModel(double freq, double& r, double& theta, double fs = 50.0, double peak = 30.0);

// What a noiseless simulated unit sends for `model` on the full band, as the
// band-1 records of `data` (dateTime set, valid left as it was). False when
// the unit's stream is not 400 records and the closing "OK". With `noise`,
// the unit's complex noise relative to |Z| from `seed`.
bool FillFromUnit(MeasureData& data, const kavsim::DriverModel& model, double noise = 0.0, uint32_t seed = 1);

// A driver of resonance `fs` as the simulated unit measures it, kept in `path` (a .DTA
// file, or an impedance table by any other extension). `path`, or empty when not written.
QString WriteDriverFile(const QString& path, double fs);

}  // namespace kavo::test
