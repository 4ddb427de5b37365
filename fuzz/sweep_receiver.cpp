// The host side of a sweep without window or port: the band command's reply,
// then an arbitrary byte stream read the way the main window reads it
// (SweepBytesWanted asks, at most `chunk` bytes arrive per read), each record
// converted and shown as the status bar would, the band converted on "OK".
//   input: band byte, 4 reply bytes, chunk byte, then the stream.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "FuzzInput.h"
#include "data/Kavo_data.h"
#include "data/Kavo_file.h"
#include "link/SweepReceiver.h"
#include "shell/Kavo_main.h"

namespace {
void Check(bool ok) {
  if (!ok) __builtin_trap();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kavo;
  fuzz::Bytes in(data, size);
  const int32_t band = in.Byte() % 4 + 1;
  char reply[4];
  in.Take(reply, sizeof reply);
  const BandReply answer = ParseBandReply(reply);
  Check(answer.count >= 0 && answer.count <= 0xFFFF);
  const int32_t chunk = in.Byte() % 32 + 1;
  const char* stream = reinterpret_cast<const char*>(in.Rest());
  size_t left = in.RestSize();

  static char rx[RxBufferSize];
  static MeasureData measure;
  static PointValues raw, ave, smooth;
  ClearData(measure);
  measure.band = band;
  raw.Clear();
  ave.Clear();
  const KAVO_File file;
  const int32_t first = BandFirstSlot(band), expected = BandPointCount(band);
  int32_t count = 0, pos = 0, points = 0;
  for (;;) {
    if (count >= RxBufferSize) return 0;  // the receive error of a full buffer
    const bool closing = points >= expected;
    const int32_t want = SweepBytesWanted(count, pos, closing, RxBufferSize, static_cast<uint32_t>(std::min<size_t>(left, 1u << 30)));
    Check(want >= 0 && want <= RxBufferSize - count);
    const int32_t got = static_cast<int32_t>(std::min<size_t>({static_cast<size_t>(want), left, static_cast<size_t>(chunk)}));
    std::memcpy(rx + count, stream, static_cast<size_t>(got));
    stream += got;
    left -= static_cast<size_t>(got);
    count += got;
    const SweepStep step = NextSweepItem(rx, count, pos, closing);
    switch (step.item) {
      case SweepItem::Incomplete:
        if (got == 0) return 0;  // nothing more comes: the watchdog ends it
        continue;
      case SweepItem::ClosingOk:
        if (file.ConvertData(&measure, &raw, &ave)) MakeSmoothValues(raw, band, smooth);
        TFormMain::mFormatFrequency(measure.points[first]);
        return 0;
      case SweepItem::ClosingError:
        return 0;
      case SweepItem::Broken:
        Check(step.length >= 0 && step.length < RecordLength && pos + step.length <= count);
        std::copy_n(rx + pos, step.length, measure.points[first + points].c);
        return 0;
      case SweepItem::Point:
        break;
    }
    Check(pos + RecordBytes <= count);
    PointText& target = measure.points[first + points];
    std::copy_n(rx + pos, RecordLength, target.c);
    target.c[RecordLength] = '\0';
    TFormMain::mFormatFrequency(target);
    TFormMain::mFormatResistance(target);
    TFormMain::mFormatPhase(target);
    if (!file.ConvertPoint(&measure, &raw, first + points, &ave)) {
      if (got == 0) return 0;  // stalled on a record without divisor
      continue;
    }
    ++points;
    pos += RecordBytes;
  }
}
