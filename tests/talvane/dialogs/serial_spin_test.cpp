// The serial number dialog's digit spin.
#include <gtest/gtest.h>

#include "talvane/dialogs/serial_spin.h"

namespace talvane {
namespace {

TEST(SerialSpin, StepsTextsAndBytes) {
  EXPECT_EQ(serialSpinStep(5, 3), 6);  // one step, however far the wheel went
  EXPECT_EQ(serialSpinStep(5, 0), 4);
  EXPECT_EQ(serialSpinStep(15, 1), 15);
  EXPECT_EQ(serialSpinStep(0, -1), 0);
  EXPECT_EQ(serialDigitText(10), u"0000000A");
  EXPECT_EQ(serialNumberData(11), (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, 0x0B}));
}

TEST(SerialSpin, StartsAtTheSerialReadAsHexAndClamped) {
  EXPECT_EQ(serialSpinPosition(u"0000000A"), 10);
  EXPECT_EQ(serialSpinPosition(u"FD-2024"), 15);
  EXPECT_EQ(serialSpinPosition(u"-3"), 0);
}

}  // namespace
}  // namespace talvane
