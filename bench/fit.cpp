// The model fit with its total σ (the variants and the inputs refitted) on
// 400-point curves of the simulated unit (a 6.5-inch woofer with a
// semi-inductance and creep, noise 0.3 %): one free curve, and the free and
// the loaded curve fitted jointly. Medians of several runs.
//
// Usage: bench_fit [runs]   (default 9)
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Records.h"
#include "UnitModel.h"
#include "analysis/ModelFit.h"
#include "data/Kavo_file.h"

namespace {

kavo::FitCurve Measure(const kavsim::DriverModel& model, uint32_t seed) {
  kavo::MeasureData data;
  kavo::PointValues raw, ave;
  kavo::test::FillFromUnit(data, model, 0.003, seed);
  data.valid = 1;
  kavo::KAVO_File().ConvertData(&data, &raw, &ave);
  return kavo::CurveFromSlots(raw.R, raw.Theta, raw.Freq, 0, 399);
}

double MedianMs(int runs, const kavo::FitInput& in, bool& ok) {
  std::vector<double> ms;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    const kavo::FitResult r = kavo::FitDriver(in);
    ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    ok = ok && r.Ok();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 9, 1);
  kavsim::DriverModel m;
  kavsim::FindPreset("woofer65", m);
  m.coil = kavsim::DriverModel::Coil::Semi;
  m.n = 0.7;
  m.K = 2 * M_PI * 1000 * m.Le / std::pow(2 * M_PI * 1000, m.n);
  m.creep = 0.08;
  kavo::FitInput in;
  in.free = Measure(m, 1);
  in.re = m.Re;
  in.sd = m.Sd;
  in.fmax = 20000;  // all 400 points
  bool ok = true;
  const double single = MedianMs(runs, in, ok);
  in.addedMass = 0.6 * kavsim::MechanicsOf(m).Mms;
  in.loaded = Measure(kavsim::Loaded(m, in.addedMass, 0), 2);
  const double joint = MedianMs(runs, in, ok);
  std::printf("model fit, medians of %d runs%s\n", runs, ok ? "" : " (A FIT FAILED)");
  std::printf("  single free curve, 400 points:        %6.2f ms  (target < 30 ms)\n", single);
  std::printf("  free + loaded jointly, 2 x 400 points: %6.2f ms  (target < 80 ms)\n", joint);
  return ok ? 0 : 1;
}
