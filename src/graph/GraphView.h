// GraphView: what the graph shows, without any window. It owns the scale
// record the plotter draws from, chooses the value arrays (averaged or not),
// sets the axis ranges from the measurement, the references or both, finds
// the measured point under a click and writes the read-out texts.
//
// The data it reads lives elsewhere (the main window's sets, or the curves
// kavo-tool loaded into DataSets): Bind tells it where, once; a null set is simply absent.
#pragma once

#include <QString>
#include <cstdint>

#include "data/DataSets.h"
#include "data/Kavo_setting.h"
#include "graph/GraphAxes.h"

namespace kavo {

// Where the graph's data sets are. A reference counts when its data set is
// there and valid.
struct GraphSources {
  const MeasureData* main = nullptr;
  const PointValues* raw = nullptr;  // unaveraged: scales, click look-up
  const PointValues* ave = nullptr;  // 3-point averaged
  const MeasureData* refs[MaxRefs] = {};
  const PointValues* refRaw[MaxRefs] = {};
  const PointValues* refAve[MaxRefs] = {};
};

class GraphView {
 public:
  // No point under a click.
  static constexpr int32_t NoPoint = 999;

  void Bind(const GraphSources& sources) { src_ = sources; }
  // The measurement and every reference position of `sets`: the window's
  // own sets, and the ones plot and print load.
  void Bind(const DataSets& sets);

  GraphScale& Scale() { return scale_; }
  const GraphScale& Scale() const { return scale_; }

  // A new band: its axis, R 25 Ω, θ ±180 (the start of a sweep, settings).
  void ResetScale(int32_t band);
  // Averaged arrays when `averaging`, else the unaveraged ones.
  void SelectValueArrays(bool averaging);

  // The scale steps: the first step above the largest value.
  static float RScaleFor(float m);
  static float ThetaScaleFor(float a);
  // Scales of the measurement's and of the valid references' own bands,
  // always from the unaveraged values.
  float MainRMax() const;
  float RefRMax() const;
  float MainThetaMax() const;
  float RefThetaMax() const;

  // The axis of the band shown and the scales of the sets named.
  void ScaleForMeasurement(bool averaging);
  void ScaleForReferences(bool averaging);
  void ScaleForBoth(bool averaging);

  // The frequency under column x of a paint area `paintWidth` pixels wide.
  float ClickFrequency(int x, int paintWidth) const;
  // The measured slot owning frequency f in the band shown, or NoPoint.
  int32_t FindPointIndex(float f) const;
  // The slot under column x that holds a value, or NoPoint.
  int32_t PointAt(int x, int paintWidth) const;

  // Read-out texts of one point record, as received from the unit.
  static QString FormatResistance(const PointText& record);
  static QString FormatPhase(const PointText& record);
  static QString FormatFrequency(const PointText& record);
  static QString PointReadout(const PointText& record);

 private:
  void ApplyScales(bool averaging, float rMax, float thetaMax);

  GraphScale scale_;
  GraphSources src_;
};

}  // namespace kavo
