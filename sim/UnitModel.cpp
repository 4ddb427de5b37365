#include "UnitModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kavsim {

const std::vector<Preset>& Presets() {
  static const std::vector<Preset> presets = {
      {"woofer65", "6.5-inch woofer", {5.6, 0.45e-3, 42.0, 4.2, 0.42, 132e-4, 22e-3}},
      {"sub10", "10-inch subwoofer", {3.4, 1.6e-3, 24.0, 6.0, 0.38, 330e-4, 60e-3}},
      {"tweeter", "25 mm dome tweeter", {4.7, 0.05e-3, 850.0, 1.6, 1.1, 7e-4, 0.008e-3}},
      {"fullrange", "3-inch full-range driver", {7.2, 0.1e-3, 110.0, 3.5, 0.8, 32e-4, 1.2e-3}},
  };
  return presets;
}

bool FindPreset(const std::string& name, DriverModel& model) {
  for (const Preset& p : Presets()) {
    if (name == p.name) {
      model = p.model;
      return true;
    }
  }
  return false;
}

// Im log10(jω/ωs) = (π/2)/ln 10.
constexpr double CreepPhase = M_PI / 2.0 / 2.302585092994046;

bool IsExtended(const DriverModel& m) {
  return m.coil != DriverModel::Coil::Le || m.creep > 0.0 || m.addedMass > 0.0 || m.boxVolume > 0.0;
}

bool FindPartKind(const std::string& name, PartModel::Kind& kind) {
  using K = PartModel::Kind;
  const struct { const char* name; K kind; } kinds[] = {
      {"inductor", K::Inductor}, {"capacitor", K::Capacitor}, {"resistor", K::Resistor}};
  for (const auto& k : kinds)
    if (name == k.name) {
      kind = k.kind;
      return true;
    }
  return false;
}

std::complex<double> PartImpedance(const PartModel& p, double f) {
  using C = std::complex<double>;
  const double w = 2.0 * M_PI * f;
  switch (p.kind) {
    case PartModel::Kind::Inductor: {
      const C zs(p.Rdc + p.Rac * (f / 1000.0) * (f / 1000.0), w * p.L);
      return zs / (1.0 + C(0.0, w * p.Cp) * zs);
    }
    case PartModel::Kind::Capacitor: return C(p.ESR, w * p.ESL - 1.0 / (w * p.C));
    case PartModel::Kind::Resistor: return C(p.R, w * p.Ls);
    case PartModel::Kind::None: break;
  }
  return {};
}

static bool IsValidPart(const PartModel& p) {
  for (double v : {p.L, p.Rdc, p.Rac, p.Cp, p.C, p.ESR, p.ESL, p.R, p.Ls})
    if (!(v >= 0.0) || !std::isfinite(v)) return false;
  switch (p.kind) {
    case PartModel::Kind::Inductor: return p.L > 0.0;
    case PartModel::Kind::Capacitor: return p.C > 0.0;
    case PartModel::Kind::Resistor: return p.R > 0.0;
    case PartModel::Kind::None: break;
  }
  return true;
}

bool IsValidModel(const DriverModel& m) {
  if (m.part.kind != PartModel::Kind::None) return IsValidPart(m.part);
  for (double v : {m.Re, m.Fs, m.Qms, m.Qes, m.Sd, m.Vas})
    if (!(v > 0.0) || !std::isfinite(v)) return false;
  for (double v : {m.Le, m.L2, m.R2, m.K, m.n, m.creep, m.addedMass, m.boxVolume})
    if (!(v >= 0.0) || !std::isfinite(v)) return false;
  if (m.coil == DriverModel::Coil::Semi && !(m.K > 0.0 && m.n > 0.0 && m.n < 1.0)) return false;
  return m.creep * CreepPhase * m.Qms < 1.0;
}

Mechanics MechanicsOf(const DriverModel& m) {
  const double ws = 2.0 * M_PI * m.Fs;
  Mechanics k{};
  k.Sd = m.Sd;
  k.Vas = m.Vas;
  k.Cms = m.Vas / (AirDensity * SoundSpeed * SoundSpeed * m.Sd * m.Sd);
  k.Mms = 1.0 / (ws * ws * k.Cms);
  k.Rms = ws * k.Mms / m.Qms;
  k.Bl = std::sqrt(ws * k.Mms * m.Re / m.Qes);
  return k;
}

DriverModel Loaded(const DriverModel& m, double addedMass, double boxVolume) {
  if (IsExtended(m)) {
    DriverModel out = m;
    out.addedMass += std::max(addedMass, 0.0);
    if (boxVolume > 0.0) out.boxVolume = boxVolume;
    return out;
  }
  const Mechanics k = MechanicsOf(m);
  const double mass = k.Mms + std::max(addedMass, 0.0);
  // The box's air as a compliance on the cone, in series with the suspension.
  double cms = k.Cms;
  if (boxVolume > 0.0) {
    const double cab = boxVolume / (AirDensity * SoundSpeed * SoundSpeed * m.Sd * m.Sd);
    cms = k.Cms * cab / (k.Cms + cab);
  }
  DriverModel out = m;
  const double ws = 1.0 / std::sqrt(mass * cms);
  out.Fs = ws / (2.0 * M_PI);
  out.Qms = ws * mass / k.Rms;
  out.Qes = ws * mass * m.Re / (k.Bl * k.Bl);
  out.Vas = AirDensity * SoundSpeed * SoundSpeed * m.Sd * m.Sd * cms;
  return out;
}

// The electro-mechanical form. With creep referred to ωs the stiffness at ωs
// is (1 + jλκ)/(Cms·(1 + λ²κ²)): its real part must be the lumped 1/Cms and
// its loss comes out of Rms, so that Fs, Qms and Qes stay.
static std::complex<double> ExtendedImpedance(const DriverModel& m, double f) {
  using C = std::complex<double>;
  const Mechanics k = MechanicsOf(m);
  const double ws = 2.0 * M_PI * m.Fs, w = 2.0 * M_PI * f;
  const double b = m.creep * CreepPhase;
  const double cms = k.Cms / (1.0 + b * b);
  const double rms = k.Rms - b * ws * k.Mms;
  C coil;
  switch (m.coil) {
    case DriverModel::Coil::Le: coil = C(0.0, w * m.Le); break;
    case DriverModel::Coil::LR2:
      coil = C(0.0, w * m.Le) + (m.L2 > 0.0 ? C(0.0, w * m.L2) * m.R2 / C(m.R2, w * m.L2) : C(0.0));
      break;
    case DriverModel::Coil::Semi: coil = m.K * std::pow(C(0.0, w), m.n); break;
  }
  const C compliance = cms * C(1.0 - m.creep * std::log10(w / ws), -b);
  C stiffness = 1.0 / compliance;
  if (m.boxVolume > 0.0) stiffness += AirDensity * SoundSpeed * SoundSpeed * m.Sd * m.Sd / m.boxVolume;
  const C mechanical = C(0.0, w * (k.Mms + m.addedMass)) + rms + stiffness / C(0.0, w);
  return m.Re + coil + k.Bl * k.Bl / mechanical;
}

std::complex<double> Impedance(const DriverModel& m, double f) {
  if (m.part.kind != PartModel::Kind::None) return PartImpedance(m.part, f);
  if (IsExtended(m)) return ExtendedImpedance(m, f);
  const double res = m.Re * m.Qms / m.Qes;
  const std::complex<double> coil(m.Re, 2.0 * M_PI * f * m.Le);
  const std::complex<double> motion = res / std::complex<double>(1.0, m.Qms * (f / m.Fs - m.Fs / f));
  return coil + motion;
}

double SlotFrequency(int slot) {
  slot = std::clamp(slot, 0, GridSlots - 1);
  struct Piece { int first, last; double f0, f1; };
  static constexpr Piece pieces[] = {{0, 143, 20.0, 250.0}, {143, 263, 250.0, 2000.0}, {263, 399, 2000.0, 20000.0}};
  for (const Piece& p : pieces) {
    if (slot <= p.last) {
      const double t = double(slot - p.first) / double(p.last - p.first);
      return p.f0 * std::pow(p.f1 / p.f0, t);
    }
  }
  return 20000.0;
}

bool BandSlots(int band, int& firstSlot, int& lastSlot) {
  static constexpr int slots[4][2] = {{0, 399}, {0, 143}, {143, 263}, {263, 399}};
  if (band < 1 || band > 4) return false;
  firstSlot = slots[band - 1][0];
  lastSlot = slots[band - 1][1];
  return true;
}

// f = count · (1000/65536) / divisor.
constexpr double FrequencyUnit = 1000.0 / 65536.0;
constexpr long MaxCount = 0xFFFFFF;

std::string EncodePoint(double r, double thetaDeg, double f) {
  const long rCode = std::clamp(std::lround((r - 0.005) / 0.01), 0L, 0xFFFFL);
  long tCode = std::clamp(std::lround((thetaDeg - 0.05) / 0.1), -0x8000L, 0x7FFFL);
  if (tCode < 0) tCode += 0x10000;
  // The largest divisor that keeps the count within 24 bits gives the finest
  // frequency resolution.
  const double perDivisor = std::max(f, 0.0) / FrequencyUnit;
  long divisor = perDivisor > 0.0 ? long(std::floor(MaxCount / perDivisor)) : 0xFFFF;
  divisor = std::clamp(divisor, 1L, 0xFFFFL);
  const long count = std::clamp(std::lround(perDivisor * double(divisor)), 0L, MaxCount);
  char text[32];
  std::snprintf(text, sizeof text, "%04lX%04lX%06lX%04lX", rCode, tCode, count, divisor);
  return std::string(text, 18);
}

static unsigned HexField(const std::string& s, size_t pos, size_t width) {
  unsigned v = 0;
  for (size_t i = pos; i < pos + width; ++i) {
    const char c = s[i];
    unsigned d = 0;
    if (c >= '0' && c <= '9') d = unsigned(c - '0');
    else if (c >= 'A' && c <= 'F') d = unsigned(c - 'A' + 10);
    else if (c >= 'a' && c <= 'f') d = unsigned(c - 'a' + 10);
    v = v * 16 + d;
  }
  return v;
}

bool DecodePoint(const std::string& record, double& r, double& thetaDeg, double& f) {
  if (record.size() != 18) return false;
  r = HexField(record, 0, 4) * 0.01 + 0.005;
  int t = int(HexField(record, 4, 4));
  if (t > 0x7FFF) t -= 0x10000;
  thetaDeg = t * 0.1 + 0.05;
  const unsigned divisor = HexField(record, 14, 4);
  if (divisor == 0) return false;
  f = HexField(record, 8, 6) * FrequencyUnit / divisor;
  return true;
}

}  // namespace kavsim
