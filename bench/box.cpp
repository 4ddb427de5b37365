// The box fit with its total σ on the simulated unit's full band (a 6.5-inch
// woofer in a vented box of 30 L tuned to 38 Hz, QL 7, noise 0.3 %): with
// the driver's values typed in, jointly with its free-air curve, and alone
// (both loss models fitted).
// Medians of several runs.
//
// Usage: bench_box [runs]   (default 9)
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "Records.h"
#include "UnitModel.h"
#include "analysis/BoxModel.h"
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

double MedianMs(int runs, const kavo::BoxInput& in, bool& ok) {
  std::vector<double> ms;
  for (int run = 0; run < runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    const kavo::BoxResult r = kavo::FitBox(in);
    ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    ok = ok && r.fit.Ok();
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = std::max(argc > 1 ? std::atoi(argv[1]) : 9, 1);
  kavsim::DriverModel free;
  kavsim::FindPreset("woofer65", free);
  kavsim::DriverModel boxed = free;
  boxed.box = kavsim::DriverModel::Box::Vented;
  boxed.vb = 30e-3, boxed.fb = 38, boxed.ql = 7, boxed.qa = 30;
  kavo::BoxInput in;
  in.kind = kavo::BoxKind::Vented;
  in.boxed = Measure(boxed, 1);
  in.vb = boxed.vb;
  in.re = free.Re;
  in.source = kavo::DriverSource::Typed;
  in.driver = {free.Fs, free.Qms, free.Qes, free.Qms * free.Qes / (free.Qms + free.Qes), free.Vas, free.Re};
  kavo::TypedDriverSigmas(in.driver, 0);
  bool ok = true;
  const double typed = MedianMs(runs, in, ok);
  in.source = kavo::DriverSource::Free;
  in.free = Measure(free, 2);
  const double joint = MedianMs(runs, in, ok);
  in.source = kavo::DriverSource::BoxOnly;
  in.free = {};
  const double alone = MedianMs(runs, in, ok);
  std::printf("box fit with total sigma, medians of %d runs%s\n", runs, ok ? "" : " (A FIT FAILED)");
  std::printf("  vented, driver typed in:           %6.2f ms  (target < 100 ms)\n", typed);
  std::printf("  vented, jointly with the free curve: %6.2f ms  (target < 100 ms)\n", joint);
  std::printf("  vented, the box curve alone:        %6.2f ms  (target < 100 ms)\n", alone);
  return ok ? 0 : 1;
}
