// Matching drivers of one type into pairs by the likeness of their curves,
// Fs and Qts.
#pragma once

#include <vector>

#include "analysis/QcParams.h"

namespace kavo {

// The matching distance of two drivers over fmin..fmax, in percent:
//   D = √(ΔR² + ΔFs² + ΔQts²)
//   ΔR   = RMS over 200 log-spaced frequencies of (Ra − Rb)/((Ra + Rb)/2) × 100
//   ΔFs  = |Fsa − Fsb| / ((Fsa + Fsb)/2) × 100  (the R peak's)
//   ΔQts = the same for the classical Qts, when both have one (needs re)
// Negative when the curves do not both cover the range.
double MatchDistance(const QcMeasurement& a, const QcMeasurement& b, double fmin, double fmax);

struct MatchPair {
  int a = 0, b = 0;
  double distance = 0;
};

enum class MatchProblem { None, TooFew, NoCommonBand, RangeOutside };
struct MatchOutcome {
  MatchProblem problem = MatchProblem::None;
  std::vector<int> excluded;    // drivers without a resonance (or, with Re, without Qts)
  double bandLo = 0, bandHi = 0;  // the band every driver paired covers
  double fmin = 0, fmax = 0;      // the band compared
  std::vector<MatchPair> pairs;
};
// The drivers that have a resonance (and a Qts when `withRe`) paired: every
// pair's distance over fmin..fmax (0: the band they all cover, which a band
// given must lie in), then the closest pair first, the closest of the rest
// next, and so on (each driver in one pair at most); at most maxPairs (0: as
// many as there are).
MatchOutcome MatchDrivers(const std::vector<const QcMeasurement*>& set, double fmin, double fmax, bool withRe,
                          int maxPairs);

}  // namespace kavo
