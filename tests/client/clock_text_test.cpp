// The controller clock's record and the status dialog's text for it.
#include <gtest/gtest.h>

#include "client/clock_text.h"

namespace korvex::client {
namespace {

TEST(ClockText, PackedBcdAndBitWeights) {
  EXPECT_EQ(packedBcd(2026), 0x26);
  for (int v = 0; v <= 99; ++v) EXPECT_EQ(bitWeightValue(packedBcd(v)), v);
  // No masking: a nibble past 9 still adds its weights.
  EXPECT_EQ(bitWeightValue(0x1F), 25);
  EXPECT_EQ(bitWeightValue(0xFF), 165);
}

TEST(ClockText, RecordAndText) {
  EXPECT_EQ(clockRecordFromLocal({2026, 3, 7, 9, 5, 0}),
            (ClockRecord{0x00, 0x05, 0x09, 0x00, 0x07, 0x03, 0x26}));
  // The day-of-week byte is not shown, whatever it holds.
  EXPECT_EQ(clockText({0x59, 0x59, 0x23, 0x06, 0x31, 0x12, 0x99}), u"2099/12/31 23:59:59");
  EXPECT_EQ(clockText({0xFF, 0x1F, 0, 0, 0, 0, 0xFF}), u"20165/00/00 00:25:165");
}

}  // namespace
}  // namespace korvex::client
