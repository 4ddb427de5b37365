#include "UnitProtocol.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kavsim {

const std::vector<FaultInfo>& Faults() {
  static const std::vector<FaultInfo> faults = {
      {Fault::None, "none", "a healthy unit"},
      {Fault::Silence, "silence", "answers nothing at all"},
      {Fault::WrongModel, "wrong-model", "answers \"U?\" with \"KA-X\""},
      {Fault::LowerCaseModel, "lowercase-model", "\"KA-V\" to the probe, \"ka-v\" to the identification"},
      {Fault::Uncalibrated, "uncalibrated", "answers \"M?\" with \"1\""},
      {Fault::Refuse, "ng", "refuses every band command with \"NG\""},
      {Fault::WrongCount, "wrong-count", "announces one point more than the band has"},
      {Fault::CrInRecord, "cr-in-record", "a carriage return inside record N"},
      {Fault::ZeroDivisor, "zero-divisor", "record N has the frequency divisor 0000"},
      {Fault::Stall, "stall", "stops sending after N records"},
      {Fault::BadClosing, "bad-closing", "closes the sweep with \"NG\" instead of \"OK\""},
      {Fault::Garbage, "garbage", "seven stray bytes, one a carriage return, before record N"},
      {Fault::HangUp, "hangup", "hangs the line up after N records"},
  };
  return faults;
}

bool FindFault(const std::string& name, Fault& fault) {
  for (const FaultInfo& f : Faults()) {
    if (name == f.name) {
      fault = f.fault;
      return true;
    }
  }
  return false;
}

const char* FaultName(Fault fault) {
  for (const FaultInfo& f : Faults())
    if (f.fault == fault) return f.name;
  return "?";
}

UnitProtocol::UnitProtocol(const UnitConfig& config) : config_(config), rng_(config.seed) {}

std::string UnitProtocol::Fixed4(const std::string& text) const {
  std::string s = text.substr(0, 4);
  s.resize(4, ' ');
  return s;
}

bool UnitProtocol::Feed(char c, std::string& command) {
  if (c == '\n') return false;
  if (c == '\r') {
    const bool complete = !overlong_;
    command = line_;
    line_.clear();
    overlong_ = false;
    return complete;
  }
  if (line_.size() >= 32) {
    overlong_ = true;
    line_.clear();
  }
  if (!overlong_) line_ += c;
  return false;
}

Output UnitProtocol::Answer(const std::string& command) {
  Output out;
  const std::string previous = previous_;
  previous_ = command;
  if (config_.fault == Fault::Silence) return out;

  if (command == "?") {
    out.bytes = Reply("OK");
  } else if (command == "U?") {
    std::string name = Fixed4(config_.modelName);
    if (config_.fault == Fault::WrongModel) name = "KA-X";
    // The probe asks "U?" right after "?"; the identification does not.
    if (config_.fault == Fault::LowerCaseModel && previous != "?")
      std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return char(std::tolower(ch)); });
    out.bytes = Reply(name);
  } else if (command == "V?") {
    out.bytes = Reply(Fixed4(config_.version));
  } else if (command == "SN?") {
    out.bytes = Reply(Fixed4(config_.serial));
  } else if (command == "M?") {
    out.bytes = Reply(config_.fault == Fault::Uncalibrated ? "1" : "0");
  } else if (command.size() == 2 && command[0] == 'M' && command[1] >= '1' && command[1] <= '4') {
    const int band = command[1] - '0';
    if (config_.fault == Fault::Refuse) {
      // Band replies are four characters long: the refusal is padded.
      out.bytes = Reply(Fixed4("NG"));
    } else {
      int first = 0, last = 0;
      BandSlots(band, first, last);
      int count = last - first + 1;
      if (config_.fault == Fault::WrongCount) ++count;
      char text[8];
      std::snprintf(text, sizeof text, "%04X", count);
      out.abortStream = true;
      out.bytes = Reply(text) + SweepStream(band, out.hangUpAfter);
    }
  } else if (command == "ME") {
    out.abortStream = true;
    out.bytes = Reply("OK");
  } else {
    out.bytes = Reply("NG");
  }
  return out;
}

std::string UnitProtocol::SweepStream(int band, bool& hangUp) {
  hangUp = false;
  int first = 0, last = 0;
  if (!BandSlots(band, first, last)) return std::string();
  const int points = last - first + 1;
  const int faultPoint = std::clamp(config_.faultPoint, 0, points);
  std::normal_distribution<double> gauss(0.0, 1.0);
  std::string stream;
  stream.reserve(size_t(points) * 19 + 3);
  for (int n = 0; n < points; ++n) {
    if (n == faultPoint) {
      if (config_.fault == Fault::Stall) return stream;
      if (config_.fault == Fault::HangUp) {
        hangUp = true;
        return stream;
      }
      if (config_.fault == Fault::Garbage) {
        static const char junk[] = "XQZ#@!%*";
        for (int k = 0; k < 7; ++k) stream += k == 3 ? '\r' : junk[rng_() % 8];
      }
    }
    const double f = SlotFrequency(first + n);
    std::complex<double> z = Impedance(config_.model, f);
    if (config_.noise > 0.0) z += std::abs(z) * config_.noise * std::complex<double>(gauss(rng_), gauss(rng_));
    std::string record = EncodePoint(std::abs(z), std::arg(z) * 180.0 / M_PI, f);
    if (n == faultPoint && config_.fault == Fault::CrInRecord) record[6] = '\r';
    if (n == faultPoint && config_.fault == Fault::ZeroDivisor) record.replace(14, 4, "0000");
    stream += record;
    stream += '\r';
  }
  if (config_.fault == Fault::Stall || config_.fault == Fault::HangUp) {
    // FaultPoint at or past the end: the unit stops (or hangs up) before "OK".
    hangUp = config_.fault == Fault::HangUp;
    return stream;
  }
  stream += Reply(config_.fault == Fault::BadClosing ? "NG" : "OK");
  return stream;
}

}  // namespace kavsim
