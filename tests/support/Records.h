// Point records and whole data sets made up for tests.
#pragma once

#include <functional>
#include <string>

#include "data/Kavo_setting.h"

namespace kavo::test {

// The 18-character record of R [ohm], theta [deg] and f [Hz] (divisor 1).
std::string MakeRecord(double r, double theta, double freq);

// The log-spaced grid frequency of slot 0..399 (20 Hz .. 20 kHz).
double SlotFrequency(int slot);

// Fills the band's slots of `data` from `model(freq, r, theta)` and marks the
// band; valid stays as it was.
void FillBand(MeasureData& data, int32_t band,
              const std::function<void(double freq, double& r, double& theta)>& model);

// A woofer-like curve: 6 ohm, peak of `peak` ohm at `fs` Hz.
void WooferModel(double freq, double& r, double& theta, double fs = 50.0, double peak = 30.0);

}  // namespace kavo::test
