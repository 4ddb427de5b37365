#include "link/MeasureSession.h"

#include <poll.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "data/Kavo_data.h"
#include "link/Deadline.h"
#include "link/Spdrv.h"
#include "platform/ComPorts.h"
#include "platform/Names.h"

namespace kavo {

bool EndsSweep(SweepEvent event) {
  return event != SweepEvent::Waiting && event != SweepEvent::Point && event != SweepEvent::Unconverted;
}

// ---- exchanges ----

bool MeasureSession::Query(const char* command, char* reply, int deadlineMs, int n) {
  char line[32];
  const int len = std::snprintf(line, sizeof line, "%s\r", command);
  if (len <= 0 || len >= static_cast<int>(sizeof line)) return false;
  driver_->FlushBuffers(true, true);
  if (!driver_->SendZString(line)) return false;
  const uint32_t got = driver_->ReadData_inTime(reply, static_cast<uint32_t>(n + 1), static_cast<uint32_t>(deadlineMs));
  if (got != static_cast<uint32_t>(n + 1)) return false;
  reply[n] = '\0';  // the terminator's value is never looked at
  return true;
}

bool MeasureSession::Command(const char* command, const char* expected, int deadlineMs) {
  char reply[20];
  const int n = static_cast<int>(std::strlen(expected));
  if (n > 19) return false;
  if (!Query(command, reply, deadlineMs, n)) return false;
  return std::memcmp(reply, expected, static_cast<size_t>(n)) == 0;
}

bool MeasureSession::OpenPort(int32_t port) {
  if (portOpen_) return true;
  if (port >= 1 && port <= 16) {
    driver_->SetPort(static_cast<TPortNumber>(pnCOM1 + port - 1));
  } else {
    driver_->SetPort(pnCustom);
    driver_->SetPortName(ComPortPath(port));
  }
  driver_->SetBaudRate(br9600);
  if (!driver_->Connect()) {
    driver_->Disconnect();
    return false;
  }
  driver_->FlushBuffers(true, true);
  portOpen_ = 1;
  return true;
}

void MeasureSession::ClosePort() {
  if (!portOpen_) return;
  driver_->FlushBuffers(true, true);
  driver_->Disconnect();
  portOpen_ = 0;
}

bool MeasureSession::ProbeUnit() {
  if (!Command("?", "OK", 100)) return false;
  char model[8];
  if (!Query("U?", model, 100, 4)) return false;
  if (std::strcmp(model, UnitModelName) != 0) return false;
  return Command("ME", "OK", 300);
}

ConnectResult MeasureSession::IdentifyUnit() {
  if (!portOpen_) return ConnectResult::PortNotOpen;
  char reply[8];
  if (!Query("U?", reply, 100, 4)) return ConnectResult::ResponseError;
  if (std::strcmp(reply, UnitModelName) != 0) return ConnectResult::NotUnit;
  if (!Query("V?", reply, 100, 4)) return ConnectResult::ResponseError;
  unitVersion_.assign(reply, 4);
  if (!Query("SN?", reply, 100, 4)) return ConnectResult::ResponseError;
  unitSerial_.assign(reply, 4);
  if (!Command("M?", "0", 100)) return ConnectResult::NotCalibrated;
  return ConnectResult::Connected;
}

ConnectResult MeasureSession::Connect(int32_t port) {
  if (!driver_) return ConnectResult::NoDriver;
  ClosePort();  // a port left open by anything earlier would hide the one chosen now
  if (!OpenPort(port)) return ConnectResult::PortError;
  if (!ProbeUnit()) {
    ClosePort();
    return ConnectResult::UnitMissing;
  }
  const ConnectResult identified = IdentifyUnit();
  if (identified != ConnectResult::Connected) {
    ClosePort();
    unitConnected_ = 0;
    return identified;
  }
  unitConnected_ = 1;
  return ConnectResult::Connected;
}

BandResult MeasureSession::StartBand(int32_t band) {
  driver_->FlushBuffers(true, true);
  const char command[3] = {'M', static_cast<char>('0' + band), '\0'};
  char reply[8];
  if (!Query(command, reply, 100, 4)) {
    unitConnected_ = 0;
    driver_->Disconnect();
    portOpen_ = 0;
    return BandResult::Unanswered;
  }
  const BandReply answer = ParseBandReply(reply);
  BandResult result = BandResult::Started;
  if (answer.answer == BandAnswer::Refused) result = BandResult::Refused;
  else if (answer.answer == BandAnswer::Garbage) result = BandResult::Garbage;
  else if (answer.count != pointsExpected_) result = BandResult::Mismatch;
  if (result != BandResult::Started) {
    // The unit is told to end whatever it began and the port is closed, so
    // that the next start connects from scratch, on the port chosen then.
    Release();
    return result;
  }
  acquiring_ = 1;
  return BandResult::Started;
}

void MeasureSession::Stop() {
  if (!Engaged()) return;
  bool stopped = false;
  for (int attempt = 0; attempt < 3 && !stopped; ++attempt) stopped = Command("ME", "OK", 300);
  if (stopped) {
    if (portOpen_) driver_->FlushBuffers(true, true);
    ClosePort();
  } else {
    driver_->FlushBuffers(true, true);
    driver_->Disconnect();
    portOpen_ = 0;
  }
  // The unit is gone either way; the next start connects from scratch.
  unitConnected_ = 0;
  acquiring_ = 0;
}

void MeasureSession::Release() {
  if (!Engaged()) return;
  if (portOpen_) {
    // Only what came in is dropped, here and at the close: when the unit is
    // busy sending, the sweep's bytes stand where its "OK" should, the
    // command returns at once, and the end command may still be on its way
    // out; purging the output (as ClosePort does) would take it off the
    // line and leave the unit sending.
    Command("ME", "OK", 300);
    driver_->FlushBuffers(true, false);
    driver_->Disconnect();
    portOpen_ = 0;
  }
  unitConnected_ = 0;
}

// ---- a sweep ----

void MeasureSession::Prepare(int32_t band) {
  bandFirst_ = BandFirstSlot(band);
  pointCount_ = 0;
  pointsExpected_ = BandPointCount(band);
  rxCount_ = 0;
  rxParsePos_ = 0;
}

void MeasureSession::Replay(int32_t band) {
  Prepare(band);
  timeoutExpired_ = 0;
  acquiring_ = 1;
}

int32_t MeasureSession::Feed(const char* bytes, int32_t n) {
  const int32_t taken = std::clamp<int32_t>(n, 0, RxBufferSize - rxCount_);
  std::memcpy(rxBuffer_ + rxCount_, bytes, static_cast<size_t>(taken));
  rxCount_ += taken;
  return taken;
}

// Asking for more than the next item lacks would sit out the input deadline
// at the end of every sweep.
int32_t MeasureSession::Receive() {
  const uint32_t queued = driver_->CountRX();
  const int32_t want = SweepBytesWanted(rxCount_, rxParsePos_, pointCount_ >= pointsExpected_, RxBufferSize, queued);
  // Nothing queued yet: the bytes wanted cannot arrive sooner than the line
  // carries them. Sleeping that long first takes a record in one wake-up
  // instead of one for its first byte and another for the rest.
  if (want > 0 && queued == 0) {
    const uint32_t lineMs = DelayForRX(driver_->BaudRate(), static_cast<uint32_t>(want));
    const Deadline until(lineMs);
    while (lineMs > 1 && !until.Passed()) poll(nullptr, 0, until.PollMs());
  }
  const uint32_t got = want > 0 ? driver_->ReadData(rxBuffer_ + rxCount_, static_cast<uint32_t>(want)) : 0;
  rxCount_ += static_cast<int32_t>(got);
  return static_cast<int32_t>(got);
}

SweepStepResult MeasureSession::End(SweepStepResult result, SweepEvent event) {
  acquiring_ = 0;
  result.event = event;
  return result;
}

SweepStepResult MeasureSession::Step(MeasureData& data, PointValues& raw, PointValues& ave, bool portSignalled) {
  SweepStepResult result;
  if (timeoutExpired_) {
    timeoutExpired_ = 0;
    return End(result, SweepEvent::Timeout);
  }
  if (portOpen_ && acquiring_) {
    if (rxCount_ >= RxBufferSize) return End(result, SweepEvent::BufferFull);
    result.bytesArrived = Receive() > 0;
    // Adapter pulled, line hung up.
    if (!result.bytesArrived && portSignalled && driver_->DeviceGone()) return End(result, SweepEvent::UnitGone);
  }
  if (!acquiring_) return result;

  result.slot = bandFirst_ + pointCount_;
  result.index = pointCount_;
  const SweepStep step = NextSweepItem(rxBuffer_, rxCount_, rxParsePos_, pointCount_ >= pointsExpected_);
  switch (step.item) {
    case SweepItem::Incomplete:
      return result;
    case SweepItem::ClosingOk:
      return End(result, SweepEvent::ClosedOk);
    case SweepItem::ClosingError:
      return End(result, SweepEvent::ClosingError);
    case SweepItem::Broken:
      std::copy_n(rxBuffer_ + rxParsePos_, step.length, data.points[result.slot].c);
      return End(result, SweepEvent::Broken);
    case SweepItem::Point:
      break;
  }
  PointText& target = data.points[result.slot];
  std::copy_n(rxBuffer_ + rxParsePos_, RecordLength, target.c);
  target.c[RecordLength] = '\0';
  if (!converter_.ConvertPoint(&data, &raw, result.slot, &ave)) {
    result.event = SweepEvent::Unconverted;
    return result;
  }
  ++pointCount_;
  rxParsePos_ += RecordBytes;
  result.event = SweepEvent::Point;
  return result;
}

}  // namespace kavo
