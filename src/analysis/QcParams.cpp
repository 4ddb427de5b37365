// The quality check's parameter families: see analysis/QcParams.h.
#include "analysis/QcParams.h"

#include <cmath>

#include "analysis/Curves.h"
#include "analysis/PartModel.h"
#include "data/Kavo_data.h"

namespace kavo {
namespace {

const char* const TsNames[] = {"Re", "Fs", "Qms", "Qes", "Qts"};
constexpr int TsCount = int(std::size(TsNames));

void MeasureTs(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis, QcMeasurement& m,
               int first) {
  PointValues smooth;
  MakeSmoothValues(raw, data.band, smooth);
  TsAnalysis a;
  a.SetSource(&raw, &smooth, &data);
  a.FindPeaks();
  if (a.peakCount == 0) {
    m.tsFailure = TsFailure::NoPeak;
    m.missing[QcTsFamily] = QcMissing::Analysis;
    return;
  }
  m.value[size_t(first + 1)] = a.peakF;
  m.has[size_t(first + 1)] = true;
  if (!(analysis.re > 0)) {
    m.missing[QcTsFamily] = QcMissing::NoRe;
    return;
  }
  TSResult ts;
  m.tsFailure = a.CalcTS(float(analysis.re), ts);
  if (m.tsFailure != TsFailure::None) {
    m.missing[QcTsFamily] = QcMissing::Analysis;
    return;
  }
  const float values[TsCount] = {ts.Re, ts.Fs, ts.Qms, ts.Qes, ts.Qts};
  for (int k = 0; k < TsCount; ++k) m.value[size_t(first + k)] = values[k], m.has[size_t(first + k)] = true;
}

// The check fits one curve as kavo-tool fit does unless told otherwise.
FitInput QcFitInput(const QcAnalysis& analysis) {
  FitInput in;
  in.re = analysis.re;
  in.fitRe = !(analysis.re > 0);
  return in;
}

void MeasureFit(const MeasureData&, const PointValues&, const QcAnalysis& analysis, QcMeasurement& m, int first) {
  FitInput in = QcFitInput(analysis);
  in.free = m.curve;
  in.fullSigma = false;  // the check reads values, not their σ
  const FitResult r = FitDriver(in);
  if (!r.Ok()) {
    m.fitFailure = r.failure;
    m.missing[QcFitFamily] = QcMissing::Fit;
    return;
  }
  for (int v = 0; v < FitValueCount; ++v) {
    if (!r.has[size_t(v)]) continue;
    m.value[size_t(first + v)] = r.value[size_t(v)] * FitValueInfoOf(v).scale;
    m.has[size_t(first + v)] = true;
  }
}

// A crossover part's values: the keys of kavo-tool part, named as .kqc keys
// take them (part.L in mH, part.C in µF, ...).
struct PartKey {
  const char* name;
  const char* fitKey;
};
const PartKey PartKeys[] = {{"L", "L_mH"}, {"Rdc", "Rdc"},   {"Q", "Q_1k"}, {"C", "C_uF"}, {"ESR", "ESR"},
                            {"ESL", "ESL_uH"}, {"D", "D_1k"}, {"R", "R"},    {"Ls", "Ls_uH"}};
constexpr int PartCount = int(std::size(PartKeys));

// The part recognised from θ and fitted as kavo-tool part does.
void MeasurePartValues(const MeasureData&, const PointValues&, const QcAnalysis&, QcMeasurement& m, int first) {
  const PartResult r = MeasurePart({m.curve, PartKind::Auto, {}});
  if (!r.Ok()) {
    m.partFailure = r.failure;
    m.missing[QcPartFamily] = QcMissing::Part;
    return;
  }
  for (size_t v = 0; v < r.fit.table.size(); ++v)
    for (int k = 0; k < PartCount; ++k)
      if (r.fit.has[v] && std::string(r.fit.table[v].key) == PartKeys[k].fitKey) {
        m.value[size_t(first + k)] = r.fit.value[v] * r.fit.table[v].scale;
        m.has[size_t(first + k)] = true;
      }
}

// The box without its driver: what the curve determines by itself.
void MeasureBox(const MeasureData&, const PointValues&, const QcAnalysis& analysis, QcMeasurement& m, int first) {
  BoxInput in;
  in.boxed = m.curve;
  in.kind = LooksVented(m.curve) ? BoxKind::Vented : BoxKind::Closed;
  in.source = DriverSource::BoxOnly;
  in.re = analysis.re;
  in.fullSigma = false;  // the check reads values, not their σ
  const BoxResult r = FitBox(in);
  if (!r.fit.Ok()) {
    m.boxFailure = r.fit.failure;
    m.missing[QcBoxFamily] = QcMissing::Fit;
    return;
  }
  for (int v = 0; v < BoxValueCount; ++v) {
    if (!r.fit.has[size_t(v)]) continue;
    m.value[size_t(first + v)] = r.fit.value[size_t(v)] * BoxValueInfoOf(v).scale;
    m.has[size_t(first + v)] = true;
  }
}

const std::vector<QcFamily> Families = {
    {"ts.", true, TsCount, [](int k) { return std::string(TsNames[k]); }, [](int) { return true; }, MeasureTs},
    {"fit.", false, FitValueCount, [](int k) { return std::string(FitValueInfoOf(k).name); },
     [](int k) { return FitReportedValues(QcFitInput({}))[size_t(k)]; }, MeasureFit},
    {"part.", false, PartCount, [](int k) { return std::string(PartKeys[k].name); }, [](int) { return true; },
     MeasurePartValues},
    // The volumes need the driver's Vas or the box's Vb, which a check has not.
    {"box.", false, BoxValueCount, [](int k) { return std::string(BoxValueInfoOf(k).name); },
     [](int k) { return k != BvVab && k != BvVas; }, MeasureBox},
};

}  // namespace

const std::vector<QcFamily>& QcFamilies() { return Families; }

int QcParamCount() {
  int n = 0;
  for (const QcFamily& f : Families) n += f.count;
  return n;
}

int QcFamilyOf(int p, int* index) {
  for (int i = 0; i < int(Families.size()); ++i) {
    if (p < Families[size_t(i)].count) {
      if (index) *index = p;
      return i;
    }
    p -= Families[size_t(i)].count;
  }
  return -1;
}

std::string QcParamName(int p) {
  int k = 0;
  const QcFamily& f = Families[size_t(QcFamilyOf(p, &k))];
  return (f.bare ? std::string() : std::string(f.prefix)) + f.name(k);
}

bool FindQcParam(const std::string& name, int& p) {
  int first = 0;
  for (const QcFamily& f : Families) {
    const std::string prefix = f.prefix;
    const bool prefixed = name.compare(0, prefix.size(), prefix) == 0;
    const std::string rest = prefixed ? name.substr(prefix.size()) : name;
    if (prefixed || f.bare)
      for (int k = 0; k < f.count; ++k)
        // λ and α are also taken as plain text.
        if (f.name(k) == rest || (f.name(k) == "λ" && rest == "lambda") || (f.name(k) == "α" && rest == "alpha"))
          return p = first + k, true;
    first += f.count;
  }
  return false;
}

const char* QcParamUnit(int p) {
  int k = 0;
  if (QcFamilyOf(p, &k) != QcPartFamily) return "";
  static const char* const units[] = {"mH", "Ω", "", "µF", "Ω", "µH", "", "Ω", "µH"};
  static_assert(std::size(units) == std::size(PartKeys));
  return units[k];
}

int QcTsParam(const char* name) {
  for (int k = 0; k < TsCount; ++k)
    if (std::string(TsNames[k]) == name) return k;
  return -1;
}

QcMissing QcMeasurement::Missing(int p) const {
  if (has[size_t(p)]) return QcMissing::None;
  const QcMissing m = missing[size_t(QcFamilyOf(p))];
  return m == QcMissing::None ? QcMissing::NotReported : m;
}

QcMeasurement MeasureDriver(const MeasureData& data, const PointValues& raw, const QcAnalysis& analysis) {
  QcMeasurement m;
  m.curve = BandCurve(data, raw);
  m.value.assign(size_t(QcParamCount()), 0);
  m.has.assign(size_t(QcParamCount()), false);
  m.missing.assign(Families.size(), QcMissing::None);
  int first = 0;
  for (size_t i = 0; i < Families.size(); ++i) {
    if (i == QcTsFamily || (i < analysis.families.size() && analysis.families[i]))
      Families[i].measure(data, raw, analysis, m, first);
    first += Families[i].count;
  }
  return m;
}

QString QcNumber(double v) {
  if (std::abs(v) >= 1000) return QString::number(v, 'f', 0);
  return QString::number(v, 'g', 4);
}

QString QcInterval(double lo, double hi) {
  return (std::isfinite(lo) ? QcNumber(lo) : QString()) + QStringLiteral("..") +
         (std::isfinite(hi) ? QcNumber(hi) : QString());
}

}  // namespace kavo
