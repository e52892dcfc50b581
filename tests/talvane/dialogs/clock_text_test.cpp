// The controller clock's record and the status dialog's text for it.
#include <gtest/gtest.h>

#include "talvane/dialogs/clock_text.h"

namespace talvane {
namespace {

TEST(ClockText, PackedBcdOfTheLastTwoDigits) {
  EXPECT_EQ(packedBcd(0), 0x00);
  EXPECT_EQ(packedBcd(9), 0x09);
  EXPECT_EQ(packedBcd(26), 0x26);
  EXPECT_EQ(packedBcd(59), 0x59);
  EXPECT_EQ(packedBcd(2026), 0x26);
}

TEST(ClockText, BitWeightsWithoutMasking) {
  EXPECT_EQ(bitWeightValue(0x59), 59);
  EXPECT_EQ(bitWeightValue(0x1F), 25);  // the low nibble is 15, not a BCD digit
  EXPECT_EQ(bitWeightValue(0xFF), 165);
  for (int v = 0; v <= 99; ++v) EXPECT_EQ(bitWeightValue(packedBcd(v)), v);
}

TEST(ClockText, RecordFromLocalTime) {
  EXPECT_EQ(clockRecordFromLocal({2026, 3, 7, 9, 5, 0}),
            (ClockRecord{0x00, 0x05, 0x09, 0x00, 0x07, 0x03, 0x26}));
  EXPECT_EQ(clockRecordFromLocal({2099, 12, 31, 23, 59, 59}),
            (ClockRecord{0x59, 0x59, 0x23, 0x00, 0x31, 0x12, 0x99}));
}

TEST(ClockText, TextOfARecord) {
  // The day-of-week byte is not shown, whatever it holds.
  EXPECT_EQ(clockText({0x59, 0x59, 0x23, 0x06, 0x31, 0x12, 0x99}), u"2099/12/31 23:59:59");
  EXPECT_EQ(clockText({0x00, 0x05, 0x09, 0x00, 0x07, 0x03, 0x26}), u"2026/03/07 09:05:00");
  // Bytes that are no BCD show their weight, three digits where it takes them.
  EXPECT_EQ(clockText({0xFF, 0x1F, 0, 0, 0, 0, 0xFF}), u"20165/00/00 00:25:165");
}

}  // namespace
}  // namespace talvane
