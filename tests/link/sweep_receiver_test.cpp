// The sweep receiver alone: malformed streams and band replies by table, and
// whole streams of the simulated unit cut into reads of every size.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "UnitProtocol.h"
#include "link/SweepReceiver.h"

namespace kavo {
namespace {

std::string Rec(int slot, double r = 8.0) {
  return kavsim::EncodePoint(r, -12.5, kavsim::SlotFrequency(slot));
}

TEST(SweepReceiver, SaysWhatStandsAtTheParsePosition) {
  const std::string good = Rec(0);
  auto with = [&](int at, char c) {
    std::string s = good + '\r';
    s[static_cast<size_t>(at)] = c;
    return s;
  };
  struct Case {
    const char* name;
    std::string bytes;
    int32_t pos;
    bool closing;
    SweepItem item;
    int32_t length;
  };
  const Case cases[] = {
      {"nothing yet", "", 0, false, SweepItem::Incomplete, 0},
      {"record without terminator", good, 0, false, SweepItem::Incomplete, 0},
      {"record", good + '\r', 0, false, SweepItem::Point, 18},
      {"terminator not looked at", good + 'X', 0, false, SweepItem::Point, 18},
      {"NUL terminator not looked at", good + '\0', 0, false, SweepItem::Point, 18},
      {"second record", good + '\r' + good + '\r', 19, false, SweepItem::Point, 18},
      {"second record short", good + '\r' + good, 19, false, SweepItem::Incomplete, 0},
      {"non-hex characters are a record", "ZZZZ....GGGGGG-- \t" + std::string("\r"), 0, false, SweepItem::Point, 18},
      {"CR first", with(0, '\r'), 0, false, SweepItem::Broken, 0},
      {"CR inside", with(6, '\r'), 0, false, SweepItem::Broken, 6},
      {"LF inside", with(9, '\n'), 0, false, SweepItem::Broken, 9},
      {"NUL inside", with(13, '\0'), 0, false, SweepItem::Broken, 13},
      {"LF last", with(17, '\n'), 0, false, SweepItem::Broken, 17},
      {"first bad byte counts", with(4, '\0').replace(2, 1, "\n"), 0, false, SweepItem::Broken, 2},
      {"closing OK", "OK\r", 0, true, SweepItem::ClosingOk, 0},
      {"closing OK, any third byte", "OK\n", 0, true, SweepItem::ClosingOk, 0},
      {"closing OK after records", good + '\r' + "OK\r", 19, true, SweepItem::ClosingOk, 0},
      {"closing too short", "OK", 0, true, SweepItem::Incomplete, 0},
      {"closing NG", "NG\r", 0, true, SweepItem::ClosingError, 0},
      {"closing lower case", "ok\r", 0, true, SweepItem::ClosingError, 0},
      {"closing swapped", "KO\r", 0, true, SweepItem::ClosingError, 0},
      {"closing CR first", "\rOK", 0, true, SweepItem::ClosingError, 0},
      {"another record where OK is due", good + '\r', 0, true, SweepItem::ClosingError, 0},
      {"position past the end", good + '\r', 20, false, SweepItem::Broken, 0},
      {"negative position", good + '\r', -1, false, SweepItem::Broken, 0},
  };
  for (const Case& c : cases) {
    const SweepStep step = NextSweepItem(c.bytes.data(), int32_t(c.bytes.size()), c.pos, c.closing);
    EXPECT_EQ(step.item, c.item) << c.name;
    EXPECT_EQ(step.length, c.length) << c.name;
  }
  EXPECT_EQ(NextSweepItem(nullptr, 0, 0, false).item, SweepItem::Broken);
  EXPECT_EQ(NextSweepItem(good.data(), -5, 0, false).item, SweepItem::Broken);
}

TEST(SweepReceiver, AsksForWhatTheNextItemLacksAndNeverBeyondTheBuffer) {
  struct Case {
    int32_t count, pos;
    bool closing;
    int32_t capacity;
    uint32_t queued;
    int32_t want;
  };
  const Case cases[] = {
      {0, 0, false, 10000, 0, 19},        // a record
      {5, 0, false, 10000, 500, 14},      // its rest, not what is queued
      {19, 19, true, 10000, 0, 3},        // the closing answer
      {20, 19, true, 10000, 0, 2},
      {38, 0, false, 10000, 7, 7},        // stalled: what is queued ...
      {38, 0, false, 10000, 500, 19},     // ... up to one record
      {9995, 9990, false, 10000, 0, 5},   // the buffer's room
      {10000, 0, false, 10000, 500, 0},   // full
      {10001, 0, false, 10000, 5, 0},
      {5, 6, false, 10000, 5, 0},         // impossible counts read nothing
      {-1, 0, false, 10000, 5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SweepBytesWanted(c.count, c.pos, c.closing, c.capacity, c.queued), c.want)
        << c.count << " " << c.pos << " " << c.closing << " " << c.queued;
}

TEST(SweepReceiver, ReadsTheBandReply) {
  struct Case {
    const char* reply;
    BandAnswer answer;
    int32_t count;
  };
  const Case cases[] = {
      {"0190", BandAnswer::Count, 400}, {"0090", BandAnswer::Count, 144}, {"0079", BandAnswer::Count, 121},
      {"0089", BandAnswer::Count, 137}, {"0091", BandAnswer::Count, 145}, {"a0F0", BandAnswer::Count, 0xA0F0},
      {"01Z0", BandAnswer::Count, 0x0100},  // a stray character counts 0
      {"NG\r\r", BandAnswer::Refused, 0}, {"N190", BandAnswer::Refused, 0}, {"0G90", BandAnswer::Refused, 0},
      {"ng\r\r", BandAnswer::Garbage, 0}, {" 190", BandAnswer::Garbage, 0}, {"\r\r\r\r", BandAnswer::Garbage, 0},
      {"OK\r\0", BandAnswer::Garbage, 0},
  };
  for (const Case& c : cases) {
    const BandReply got = ParseBandReply(c.reply);
    EXPECT_EQ(got.answer, c.answer) << c.reply;
    if (c.answer == BandAnswer::Count) {
      EXPECT_EQ(got.count, c.count) << c.reply;
    }
  }
}

// What the window does with the receiver, minus drawing: reads of random size
// up to what is wanted, one item per step.
struct Outcome {
  int points = 0;
  SweepItem end = SweepItem::Incomplete;
  std::vector<std::string> records;
};

Outcome Receive(const std::string& stream, int expected, uint32_t seed) {
  std::mt19937 rng(seed);
  std::vector<char> buffer(10000);
  int32_t count = 0, pos = 0, fed = 0;
  Outcome out;
  for (int steps = 0; steps < 100000; ++steps) {
    const bool closing = out.points >= expected;
    const uint32_t queued = uint32_t(stream.size() - size_t(fed));
    int32_t want = SweepBytesWanted(count, pos, closing, int32_t(buffer.size()), queued);
    want = std::min<int32_t>(want, int32_t(queued));
    if (want > 0) want = 1 + int32_t(rng() % uint32_t(want));  // a short read
    std::copy_n(stream.data() + fed, want, buffer.data() + count);
    count += want;
    fed += want;
    const SweepStep step = NextSweepItem(buffer.data(), count, pos, closing);
    if (step.item == SweepItem::Point) {
      out.records.emplace_back(buffer.data() + pos, size_t(step.length));
      ++out.points;
      pos += RecordBytes;
    } else if (step.item != SweepItem::Incomplete) {
      out.end = step.item;
      return out;
    } else if (want == 0 && queued == 0) {
      return out;  // the stream ran dry
    }
  }
  return out;
}

TEST(SweepReceiver, CutsTheSimulatedUnitsStreamsIntoRecords) {
  struct Case {
    kavsim::Fault fault;
    int band;
    int points;
    SweepItem end;
  };
  const Case cases[] = {
      {kavsim::Fault::None, 1, 400, SweepItem::ClosingOk},
      {kavsim::Fault::None, 3, 121, SweepItem::ClosingOk},
      {kavsim::Fault::CrInRecord, 1, 5, SweepItem::Broken},
      {kavsim::Fault::Garbage, 2, 5, SweepItem::Broken},
      {kavsim::Fault::BadClosing, 4, 137, SweepItem::ClosingError},
      {kavsim::Fault::Stall, 1, 5, SweepItem::Incomplete},
  };
  for (const Case& c : cases) {
    kavsim::UnitConfig config;
    config.fault = c.fault;
    config.noise = 0.01;
    kavsim::UnitProtocol unit(config);
    bool hangUp = false;
    const std::string stream = unit.SweepStream(c.band, hangUp);
    int first = 0, last = 0;
    ASSERT_TRUE(kavsim::BandSlots(c.band, first, last));
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      const Outcome got = Receive(stream, last - first + 1, seed);
      EXPECT_EQ(got.points, c.points) << kavsim::FaultName(c.fault) << " seed " << seed;
      EXPECT_EQ(got.end, c.end) << kavsim::FaultName(c.fault) << " seed " << seed;
      for (size_t n = 0; n < got.records.size(); ++n) {
        ASSERT_EQ(got.records[n], stream.substr(n * 19, 18)) << kavsim::FaultName(c.fault) << " record " << n;
        double r = 0, theta = 0, f = 0;
        EXPECT_TRUE(kavsim::DecodePoint(got.records[n], r, theta, f));
        EXPECT_NEAR(f, kavsim::SlotFrequency(first + int(n)), 0.01 * f) << n;
      }
    }
  }
}

TEST(SweepReceiver, ARecordItAcceptsNeverHoldsALineBreakOrNul) {
  // Random bytes, mostly hex digits with the odd line break: whatever comes,
  // a record accepted is one line of text, and the receiver ends or waits.
  std::mt19937 rng(7);
  const char alphabet[] = "0123456789ABCDEF\r\n\0OKNG";
  for (int round = 0; round < 2000; ++round) {
    std::string bytes(size_t(rng() % 80), ' ');
    for (char& c : bytes) c = alphabet[rng() % (sizeof alphabet - 1)];
    const int32_t pos = int32_t(rng() % (bytes.size() + 1));
    const bool closing = rng() % 4 == 0;
    const SweepStep step = NextSweepItem(bytes.data(), int32_t(bytes.size()), pos, closing);
    if (step.item == SweepItem::Point) {
      const std::string rec = bytes.substr(size_t(pos), 18);
      EXPECT_EQ(rec.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << round;
    }
    if (step.item == SweepItem::Broken) {
      ASSERT_LT(step.length, 18);
      EXPECT_NE(std::string("\r\n\0", 3).find(bytes[size_t(pos + step.length)]), std::string::npos) << round;
    }
  }
}

}  // namespace
}  // namespace kavo
