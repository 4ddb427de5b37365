// The measurement session without the window, over a pseudo-terminal: a
// unit that identifies itself properly, answers the band command with the
// given reply and goes on with an arbitrary stream, at most `chunk` bytes per
// write. Each record taken is converted as the sweep goes, the band again
// and smoothed on "OK". However the bytes run, the sweep must end (150 ms of
// silence stand in for the window's watchdog), nothing may be stored beyond
// the receive buffer, and the release must leave the port closed.
//   input: band byte, 4 reply bytes, chunk byte, then the stream.
#include <QCoreApplication>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "ScriptedUnit.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "link/Deadline.h"
#include "link/MeasureSession.h"
#include "link/Spdrv.h"

namespace {

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

kavo::TSerialPortDriver* driver = nullptr;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  new QCoreApplication(*argc, *argv);  // the driver's polling timer needs one
  driver = new kavo::TSerialPortDriver;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  if (size > 12000) return -1;
  fuzz::Bytes in(data, size);
  const int32_t band = in.Byte() % 4 + 1;
  char reply[4];
  in.Take(reply, sizeof reply);
  const size_t chunk = in.Byte() % 32 + 1;
  const std::string answer = std::string(reply, sizeof reply) + '\r' +
                             std::string(reinterpret_cast<const char*>(in.Rest()), in.RestSize());
  const std::string bandCommand = "M" + std::to_string(band);
  test::ScriptedUnit unit(
      [&](const std::string& command) { return command == bandCommand ? answer : test::HealthyAnswer(command); },
      chunk);
  if (!unit.Ok()) return 0;
  qputenv("KAVO_COM1", QByteArray::fromStdString(unit.Path()));

  static MeasureSession session;
  static MeasureData measure;
  static PointValues raw, ave, smooth;
  session.Attach(driver);
  ClearData(measure);
  measure.band = band;
  ClearValues(raw);
  ClearValues(ave);
  Check(session.Connect(1) == ConnectResult::Connected);
  session.Prepare(band);
  const BandResult started = session.StartBand(band);
  Check((started == BandResult::Started) == (session.Acquiring() == 1));
  Check((started == BandResult::Started) == (session.PortOpen() == 1));

  Deadline silence(150);
  while (session.Acquiring()) {
    const SweepStepResult step = session.Step(measure, raw, ave, true);
    Check(session.RxCount() >= 0 && session.RxCount() <= RxBufferSize);
    Check(step.event != SweepEvent::Point || session.PointCount() == step.index + 1);
    if (step.bytesArrived) silence.Restart(150);
    if (step.event == SweepEvent::ClosedOk) {
      Check(session.PointCount() == session.PointsExpected());
      const KAVO_File file;
      if (file.ConvertData(&measure, &raw, &ave)) MakeSmoothValues(raw, band, smooth);
    }
    if (!EndsSweep(step.event) && silence.Passed()) session.SetTimeoutExpired(true);
  }
  session.Release();
  Check(!session.PortOpen() && !session.UnitConnected());
  return 0;
}
