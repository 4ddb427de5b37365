// The host side of a sweep's byte stream, without window or driver: given
// the bytes received so far, says what stands at the next parse position
// (a point record, the closing answer, a broken record, or not enough yet),
// how many bytes to read next, and what the band command's reply means.
//
// Every function reads only the bytes [pos, count) it is given and copes
// with any counts, so arbitrary input can be fed to it.
#pragma once

#include <cstdint>

#include "data/Kavo_setting.h"

namespace kavo {

constexpr int32_t RecordBytes = RecordLength + 1;  // a record and its terminator
constexpr int32_t ClosingBytes = 3;                // "OK" and its terminator

enum class SweepItem {
  Incomplete,    // wait for more bytes
  Point,         // a whole record; its 18 characters start at the position
  ClosingOk,     // the unit closed the sweep with "OK"
  ClosingError,  // the closing answer is something else
  Broken,        // a record holds a CR, LF or NUL, or the counts are impossible
};

struct SweepStep {
  SweepItem item;
  // Point: RecordLength. Broken: the characters before the bad one, which
  // are still worth keeping in the slot. Otherwise 0.
  int32_t length;
};

// What stands at `pos` of the `count` received bytes. `closing`: all points
// are in and the closing answer is due.
SweepStep NextSweepItem(const char* bytes, int32_t count, int32_t pos, bool closing);

// How many bytes one receiving step asks the port for: what the next item
// still lacks; when it is complete already (a stalled sweep), what is queued
// up to one record; never more than the buffer's free `capacity - count`.
int32_t SweepBytesWanted(int32_t count, int32_t pos, bool closing, int32_t capacity, uint32_t queued);

enum class BandAnswer {
  Count,    // a point count, possibly not the band's
  Refused,  // "NG"
  Garbage,  // not hexadecimal
};

struct BandReply {
  BandAnswer answer;
  int32_t count;  // for Count; a character that is not a hex digit counts 0
};

// The 4-character reply to a band command "M1".."M4".
BandReply ParseBandReply(const char reply[4]);

}  // namespace kavo
