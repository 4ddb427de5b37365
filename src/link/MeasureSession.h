// MeasureSession: the host side of the KA-V unit on one serial driver. It
// holds the unit's command exchanges (probe, identification, band command,
// end command), the receive buffer of a sweep with its counters, and the
// acquisition step as a state machine: each step reads what the next record
// still lacks, takes at most one record into the data set it is given and
// says what happened as an event.
//
// It knows no window: whoever owns it turns the results into messages,
// status texts and drawing, and runs the watchdog timer. Everything lives in
// fixed members; nothing is allocated per measurement.
#pragma once

#include <cstdint>
#include <string>

#include "data/Kavo_file.h"
#include "data/Kavo_setting.h"
#include "link/SweepReceiver.h"

namespace kavo {

class TSerialPortDriver;

// Everything received in one sweep; a full-band sweep is 7603 bytes.
constexpr int RxBufferSize = 10000;

enum class ConnectResult {
  Connected,
  NoDriver,       // nothing shown
  PortNotOpen,    // identification without an open port: nothing shown
  PortError,      // the port cannot be opened
  UnitMissing,    // the probe failed
  ResponseError,  // "U?", "V?" or "SN?" unanswered
  NotUnit,        // "U?" answered with another model
  NotCalibrated,  // "M?" not answered with "0"
};

enum class BandResult {
  Started,     // the unit is sending the sweep
  // The failures close the port.
  Unanswered,  // no reply
  Refused,     // "NG"
  Garbage,     // a reply that is not hexadecimal
  Mismatch,    // a point count other than the band's
};

enum class SweepEvent {
  Waiting,      // nothing to report yet
  Point,        // a record was taken into `slot`
  Unconverted,  // the record for `slot` has no divisor: stored, not taken;
                // the sweep stalls on it until the watchdog
  // The ends of a sweep: acquiring is over, the unit is still to be
  // released (Release).
  ClosedOk,      // all points and the closing "OK"
  ClosingError,  // all points, then something other than "OK"
  Broken,        // a record holding a CR, LF or NUL; the slot keeps the bytes before it
  UnitGone,      // the device went away under the sweep
  Timeout,       // the watchdog expired
  BufferFull,    // the unit kept sending while records stalled
};

struct SweepStepResult {
  SweepEvent event = SweepEvent::Waiting;
  bool bytesArrived = false;  // restart the watchdog
  int32_t slot = 0;           // Point, Unconverted: the slot of the record
  int32_t index = 0;          // Point, Unconverted: its number in the sweep, from 0
};

// True for the events that end a sweep.
bool EndsSweep(SweepEvent event);

class MeasureSession {
 public:
  // The driver every exchange goes through; null detaches it.
  void Attach(TSerialPortDriver* driver) { driver_ = driver; }
  bool HasDriver() const { return driver_ != nullptr; }
  // A driver is attached and the unit is connected: there is something to
  // stop or release.
  bool Engaged() const { return driver_ && unitConnected_; }

  // ---- exchanges ----
  // Purges, sends `command` and a CR, and reads n characters plus a
  // terminator within the deadline into `reply` (n + 1 bytes, zero-ended).
  bool Query(const char* command, char* reply, int deadlineMs, int n);
  // As Query, and the reply must equal `expected` (at most 19 characters).
  bool Command(const char* command, const char* expected, int deadlineMs);
  // An open port is reused as it is: a COM number changed meanwhile waits
  // until the port has been closed.
  bool OpenPort(int32_t port);
  void ClosePort();
  bool ProbeUnit();
  ConnectResult IdentifyUnit();
  // Port, probe and identification, always on `port`; on any failure the
  // port is closed.
  ConnectResult Connect(int32_t port);
  // "M1".."M4", answered with the band's point count in hexadecimal. Starts
  // acquiring when the count is the one Prepare expects; any other answer
  // releases the unit (end command, port closed).
  BandResult StartBand(int32_t band);
  // The user's stop: up to three end commands, the port closed either way.
  void Stop();
  // After a sweep has ended: one end command, the port closed.
  void Release();

  // ---- a sweep ----
  // A fresh receive state for `band`.
  void Prepare(int32_t band);
  // The watchdog has expired; the next step ends the sweep.
  void SetTimeoutExpired(bool expired) { timeoutExpired_ = expired; }
  // One receiving step: at most one record into `data`, converted into
  // `raw` and `ave`. `portSignalled`: the port became readable since the
  // last step (a hang-up shows that way too).
  SweepStepResult Step(MeasureData& data, PointValues& raw, PointValues& ave, bool portSignalled);
  // A recorded stream instead of the port (benchmarks): Replay starts
  // acquiring without a port, Feed stores bytes as if read, EndReplay stops.
  void Replay(int32_t band);
  int32_t Feed(const char* bytes, int32_t n);
  void EndReplay() { acquiring_ = 0; }

  // ---- state ----
  uint8_t PortOpen() const { return portOpen_; }
  uint8_t UnitConnected() const { return unitConnected_; }
  uint8_t Acquiring() const { return acquiring_; }
  uint8_t TimeoutExpired() const { return timeoutExpired_; }
  int32_t PointCount() const { return pointCount_; }
  int32_t PointsExpected() const { return pointsExpected_; }
  int32_t RxCount() const { return rxCount_; }
  const char* RxBuffer() const { return rxBuffer_; }
  // CP932 texts: the unit's replies to "V?" and "SN?". Opening a data file
  // replaces the serial number with the file's.
  const std::string& UnitVersion() const { return unitVersion_; }
  std::string& UnitSerial() { return unitSerial_; }
  const std::string& UnitSerial() const { return unitSerial_; }

 private:
  // Reads what the next record (or the closing answer) still lacks; the
  // number of bytes read.
  int32_t Receive();
  SweepStepResult End(SweepStepResult result, SweepEvent event);

  TSerialPortDriver* driver_ = nullptr;
  KAVO_File converter_;
  uint8_t portOpen_ = 0;
  uint8_t unitConnected_ = 0;
  uint8_t acquiring_ = 0;
  uint8_t timeoutExpired_ = 0;
  std::string unitVersion_;
  std::string unitSerial_;

  char rxBuffer_[RxBufferSize] = {};
  int32_t rxCount_ = 0;
  int32_t rxParsePos_ = 0;  // the next record not yet taken
  int32_t pointCount_ = 0;
  int32_t pointsExpected_ = 0;
  int32_t bandFirst_ = 0;  // point n goes into slot bandFirst_ + n
};

}  // namespace kavo
