// Matching: see analysis/QcMatch.h.
#include "analysis/QcMatch.h"

#include <algorithm>
#include <cmath>

#include "analysis/QcCheck.h"

namespace kavo {

double MatchDistance(const QcMeasurement& a, const QcMeasurement& b, double fmin, double fmax) {
  constexpr int GridPoints = 200;
  double sq = 0;
  for (int k = 0; k < GridPoints; ++k) {
    const double f = fmin * std::pow(fmax / fmin, double(k) / (GridPoints - 1));
    double ra = 0, rb = 0;
    if (!CurveAt(a.curve, a.curve.r, f, ra) || !CurveAt(b.curve, b.curve.r, f, rb)) return -1;
    const double d = 100 * (ra - rb) / ((ra + rb) / 2);
    sq += d * d;
  }
  double total = sq / GridPoints;
  for (const int p : {QcTsParam("Fs"), QcTsParam("Qts")}) {
    if (!a.has[size_t(p)] || !b.has[size_t(p)]) continue;
    const double va = a.value[size_t(p)], vb = b.value[size_t(p)];
    const double d = 100 * (va - vb) / ((va + vb) / 2);
    total += d * d;
  }
  return std::sqrt(total);
}

MatchOutcome MatchDrivers(const std::vector<const QcMeasurement*>& set, double fmin, double fmax, bool withRe,
                          int maxPairs) {
  MatchOutcome out;
  std::vector<int> kept;
  for (int i = 0; i < int(set.size()); ++i) {
    const QcMeasurement& m = *set[size_t(i)];
    const bool ok = m.has[size_t(QcTsParam("Fs"))] && (!withRe || m.has[size_t(QcTsParam("Qts"))]);
    (ok ? kept : out.excluded).push_back(i);
  }
  if (kept.size() < 2) return out.problem = MatchProblem::TooFew, out;
  out.bandLo = 0;
  out.bandHi = HUGE_VAL;
  for (const int i : kept) {
    const FitCurve& c = set[size_t(i)]->curve;
    if (c.Empty()) return out.problem = MatchProblem::NoCommonBand, out;
    out.bandLo = std::max(out.bandLo, c.f.front());
    out.bandHi = std::min(out.bandHi, c.f.back());
  }
  if (!(out.bandLo > 0 && out.bandLo < out.bandHi)) return out.problem = MatchProblem::NoCommonBand, out;
  out.fmin = fmin > 0 ? fmin : out.bandLo;
  out.fmax = fmax > 0 ? fmax : out.bandHi;
  // A distance needs every frequency of the band on both curves.
  if (out.fmin < out.bandLo * (1 - 1e-9) || out.fmax > out.bandHi * (1 + 1e-9))
    return out.problem = MatchProblem::RangeOutside, out;

  std::vector<MatchPair> all;
  for (size_t i = 0; i < kept.size(); ++i)
    for (size_t j = i + 1; j < kept.size(); ++j)
      if (const double d = MatchDistance(*set[size_t(kept[i])], *set[size_t(kept[j])], out.fmin, out.fmax); d >= 0)
        all.push_back({kept[i], kept[j], d});
  std::stable_sort(all.begin(), all.end(), [](const MatchPair& x, const MatchPair& y) { return x.distance < y.distance; });
  std::vector<bool> used(set.size(), false);
  for (const MatchPair& p : all) {
    if (maxPairs > 0 && int(out.pairs.size()) >= maxPairs) break;
    if (used[size_t(p.a)] || used[size_t(p.b)]) continue;
    used[size_t(p.a)] = used[size_t(p.b)] = true;
    out.pairs.push_back(p);
  }
  return out;
}

}  // namespace kavo
