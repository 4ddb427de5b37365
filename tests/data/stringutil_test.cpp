#include <gtest/gtest.h>

#include "data/Kavo_setting.h"
#include "data/Stringutil.h"

using namespace kavo;

TEST(Stringutil, NumberPatternsRoundHalfAwayFromZero) {
  EXPECT_EQ(FormatNumber(1234.5678, "0.00"), "1234.57");
  EXPECT_EQ(FormatNumber(12.3456, "0.00"), "12.35");
  EXPECT_EQ(FormatNumber(-45.04, "0.0"), "-45.0");
  EXPECT_EQ(FormatNumber(0.125, "0.00"), "0.13");
  EXPECT_EQ(FormatNumber(-0.125, "0.00"), "-0.13");
  EXPECT_EQ(FormatNumber(0.5, "#.00"), ".50");
  EXPECT_EQ(FormatNumber(0.5, "#0.00"), "0.50");
  EXPECT_EQ(FormatNumber(20.0, "#.0"), "20.0");
  EXPECT_EQ(FormatNumber(1.2345, "#.000"), "1.235");
  EXPECT_EQ(FormatNumber(-0.04, "0.0"), "0.0");
  EXPECT_EQ(FormatNumber(3.14159, "0.00", ','), "3,14");
  EXPECT_EQ(FormatNumber(9.996, "0.00"), "10.00");
  EXPECT_EQ(FormatNumber(0.0004, "#.000"), ".000");
  EXPECT_EQ(FormatNumber(20000.0, "0.00"), "20000.00");
  EXPECT_EQ(FormatNumber(655.355, "0.00"), "655.36");
}

TEST(Stringutil, StrictIntegerParse) {
  int32_t v = 7;
  EXPECT_TRUE(ParseInt("  42", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(ParseInt("-5", v));
  EXPECT_EQ(v, -5);
  EXPECT_TRUE(ParseInt("+2147483647", v));
  EXPECT_EQ(v, 2147483647);
  EXPECT_TRUE(ParseInt("-2147483648", v));
  EXPECT_EQ(v, INT32_MIN);
  v = 7;
  for (const char* bad : {"", " ", "-", "42 ", "4x", "2147483648", "99999999999999999999", "0x10"}) {
    EXPECT_FALSE(ParseInt(bad, v)) << bad;
  }
  EXPECT_EQ(v, 7);
}

TEST(Stringutil, Cp932RoundTripAndInvalidBytes) {
  const std::string utf8 = "測定日時:ＫＡ－Ｖ ①";
  std::string sjis;
  ASSERT_TRUE(Utf8ToCp932(utf8, sjis));
  EXPECT_NE(sjis, utf8);
  EXPECT_EQ(Cp932ToUtf8(sjis), utf8);
  // A lone lead byte and an undefined byte decode to replacement characters.
  const std::string broken = std::string("A\xFF" "B\x81", 4);
  const std::string shown = Cp932ToUtf8(broken);
  EXPECT_EQ(shown.front(), 'A');
  EXPECT_NE(shown.find('B'), std::string::npos);
  EXPECT_NE(shown.find("\xEF\xBF\xBD"), std::string::npos);
  std::string out;
  EXPECT_FALSE(Utf8ToCp932("\xF0\x9F\x98\x80", out));  // emoji: not in CP932
}

TEST(Stringutil, DateTimeTextIsOneLine) {
  const std::string now = NowText();
  EXPECT_EQ(now.find('\n'), std::string::npos);
  EXPECT_EQ(now[4], '/');
  EXPECT_EQ(now[7], '/');
  EXPECT_EQ(now.substr(now.size() - 6, 1), ":");
}

TEST(BandTable, SlotRangesAndCounts) {
  const int32_t first[] = {0, 0, 143, 263}, last[] = {399, 143, 263, 399}, count[] = {400, 144, 121, 137};
  for (int b = 1; b <= 4; ++b) {
    EXPECT_EQ(BandFirstSlot(b), first[b - 1]);
    EXPECT_EQ(BandLastSlot(b), last[b - 1]);
    EXPECT_EQ(BandPointCount(b), count[b - 1]);
    EXPECT_EQ(BandPointCount(b), BandLastSlot(b) - BandFirstSlot(b) + 1);
  }
  EXPECT_EQ(BandFreqMin(3), 250);
  EXPECT_EQ(BandFreqMax(2), 250);
  EXPECT_EQ(BandPointCount(0), 0);
  EXPECT_EQ(BandPointCount(5), 0);
}
