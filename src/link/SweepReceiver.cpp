#include "link/SweepReceiver.h"

#include <algorithm>

#include "data/HexText.h"

namespace kavo {
namespace {

// Bytes a record may not hold: the unit ends lines with CR, and a stored
// record must stay one line of text.
bool BreaksRecord(char c) { return c == '\r' || c == '\n' || c == '\0'; }

}  // namespace

SweepStep NextSweepItem(const char* bytes, int32_t count, int32_t pos, bool closing) {
  if (bytes == nullptr || count < 0 || pos < 0 || pos > count) return {SweepItem::Broken, 0};
  const int32_t available = count - pos;
  const char* at = bytes + pos;
  if (closing) {
    if (available < ClosingBytes) return {SweepItem::Incomplete, 0};
    // The terminator is not looked at.
    const bool ok = at[0] == 'O' && at[1] == 'K';
    return {ok ? SweepItem::ClosingOk : SweepItem::ClosingError, 0};
  }
  if (available < RecordBytes) return {SweepItem::Incomplete, 0};
  for (int32_t i = 0; i < RecordLength; ++i)
    if (BreaksRecord(at[i])) return {SweepItem::Broken, i};
  return {SweepItem::Point, RecordLength};
}

int32_t SweepBytesWanted(int32_t count, int32_t pos, bool closing, int32_t capacity, uint32_t queued) {
  const int32_t room = capacity - count;
  if (room <= 0 || count < 0 || pos < 0 || pos > count) return 0;
  const int32_t missing = pos + (closing ? ClosingBytes : RecordBytes) - count;
  const int64_t want = missing > 0 ? missing : std::min<int64_t>(RecordBytes, queued);
  return static_cast<int32_t>(std::min<int64_t>(want, room));
}

BandReply ParseBandReply(const char reply[4]) {
  if (reply[0] == 'N' || reply[1] == 'G') return {BandAnswer::Refused, 0};
  if (!IsHexDigit(reply[0])) return {BandAnswer::Garbage, 0};
  return {BandAnswer::Count, static_cast<int32_t>(HexField(reply, 4))};
}

}  // namespace kavo
