// The unit side of the serial protocol: commands in, exact replies and the
// sweep data stream out, with the faults a broken or foreign unit shows.
// No I/O here; PtyUnit puts it on a line.
#pragma once

#include "UnitModel.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace kavsim {

enum class Fault {
  None,
  Silence,         // answers nothing at all
  WrongModel,      // "U?" is answered with another model name
  LowerCaseModel,  // "KA-V" to the probe's "U?", "ka-v" to the identification's
  Uncalibrated,    // "M?" is answered with "1"
  Refuse,          // band commands are answered with "NG"
  WrongCount,      // the announced point count is one more than the band has
  CrInRecord,      // a carriage return inside record number FaultPoint
  ZeroDivisor,     // record number FaultPoint has the frequency divisor 0
  Stall,           // the stream stops after FaultPoint records
  BadClosing,      // the sweep closes with "NG" instead of "OK"
  Garbage,         // seven stray bytes (one a carriage return) before record FaultPoint
  HangUp,          // the line is hung up after FaultPoint records
};

struct FaultInfo {
  Fault fault;
  const char* name;
  const char* description;
};
const std::vector<FaultInfo>& Faults();
bool FindFault(const std::string& name, Fault& fault);
const char* FaultName(Fault fault);

struct UnitConfig {
  DriverModel model;
  double noise = 0.0;      // standard deviation of complex noise, relative to |Z|
  uint32_t seed = 1;       // noise and garbage come from this seed
  bool paced = true;       // false: as fast as the line takes it
  uint32_t baud = 9600;    // pacing rate, 10 bits per byte
  Fault fault = Fault::None;
  int faultPoint = 5;      // 0-based record where a stream fault strikes
  std::string version = "2.10";  // "V?" reply, 4 characters
  std::string serial = "0815";   // "SN?" reply, 4 characters
  std::string modelName = "KA-V";
};

// What the unit sends for one command.
struct Output {
  std::string bytes;
  bool abortStream = false;  // drop what is still unsent of an earlier sweep
  bool hangUpAfter = false;  // hang up once these bytes are out
};

class UnitProtocol {
 public:
  explicit UnitProtocol(const UnitConfig& config);

  // Takes one received byte. A carriage return completes a command: returns
  // true and gives its text (line feeds are ignored; an over-long line is
  // dropped whole).
  bool Feed(char c, std::string& command);
  // The answer to one command (text without its carriage return).
  Output Answer(const std::string& command);
  // The data stream of a band sweep as a correct unit sends it, with the
  // configured noise and stream faults: 19 bytes per point, then "OK\r".
  std::string SweepStream(int band, bool& hangUp);

 private:
  std::string Reply(const std::string& content) const { return content + '\r'; }
  std::string Fixed4(const std::string& text) const;

  UnitConfig config_;
  std::mt19937 rng_;
  std::string line_;
  bool overlong_ = false;
  std::string previous_;
};

}  // namespace kavsim
