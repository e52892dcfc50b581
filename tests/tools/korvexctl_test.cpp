// The parts of korvexctl that decide things without the library.
#include <gtest/gtest.h>

#include "clock_bcd.h"
#include "fram_text.h"
#include "invocation.h"

namespace korvexctl {
namespace {

TEST(ClockBcd, EncodesPackedBcdAndDecodesByBitWeights) {
  const ClockTime t{2026, 12, 6, 21, 5, 59};
  const ClockRecord r = encodeClock(t);
  EXPECT_EQ(r, (ClockRecord{0x59, 0x05, 0x21, 0x00, 0x06, 0x12, 0x26}));
  const ClockTime back = decodeClock(r);
  EXPECT_EQ(formatClock(back), "2026/12/06 21:05:59");
  // Bytes that are not BCD decode by weight, without masking: 0xFF is 165.
  EXPECT_EQ(decodeClock(ClockRecord{0xFF, 0, 0, 0, 0x01, 0x01, 0x00}).second, 165);
}

TEST(ClockBcd, ParsesOnlyWholeValidTimes) {
  EXPECT_TRUE(parseClock("2026-12-06 21:05:59"));
  EXPECT_TRUE(parseClock("2099/01/31 00:00:00"));
  EXPECT_FALSE(parseClock("1999-12-31 23:59:59"));
  EXPECT_FALSE(parseClock("2026-13-01 00:00:00"));
  EXPECT_FALSE(parseClock("2026-12-06 24:00:00"));
  EXPECT_FALSE(parseClock("2026-12/06 10:00:00"));
  EXPECT_FALSE(parseClock("2026-12-06 10:00:00 trailing"));
  EXPECT_FALSE(parseClock(""));
}

TEST(FramText, Utf16LittleEndianPaddedToTheArea) {
  const auto bytes = framBytesFromText(u"h\u00e9", 255);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 255u);
  EXPECT_EQ((*bytes)[0], 'h');
  EXPECT_EQ((*bytes)[2], 0xE9);
  EXPECT_EQ((*bytes)[4], 0);
  EXPECT_EQ(framTextFromBytes(*bytes), u"h\u00e9");
  EXPECT_TRUE(framBytesFromText(std::u16string(127, u'x'), 255));
  EXPECT_FALSE(framBytesFromText(std::u16string(128, u'x'), 255));
  // An odd trailing byte is not half a character.
  EXPECT_EQ(framTextFromBytes({'a', 0, 'b'}), u"a");
}

TEST(FramText, HexParsing) {
  EXPECT_EQ(parseHex("00 ff 7A"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x7A}));
  EXPECT_EQ(parseHex("0a0b"), (std::vector<std::uint8_t>{0x0A, 0x0B}));
  EXPECT_FALSE(parseHex("0g"));
  EXPECT_FALSE(parseHex("abc"));
  EXPECT_FALSE(parseHex("a b"));
  EXPECT_EQ(toHex({0x00, 0xAB}), "00 ab");
}

TEST(Invocation, OptionsMayStandAnywhere) {
  const auto parsed =
      parseInvocation({"--world", "w.json", "fram", "write", "0000000A", "--json", "hello"});
  const auto* inv = std::get_if<Invocation>(&parsed);
  ASSERT_TRUE(inv);
  EXPECT_EQ(inv->world, "w.json");
  EXPECT_TRUE(inv->json);
  EXPECT_EQ(inv->command, "fram");
  EXPECT_EQ(inv->args, (std::vector<std::string>{"write", "0000000A", "hello"}));
}

TEST(Invocation, RejectsWhatItCannotRun) {
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseInvocation({})));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseInvocation({"--world"})));
  EXPECT_TRUE(std::holds_alternative<UsageError>(parseInvocation({"--bogus", "status"})));
}

}  // namespace
}  // namespace korvexctl
