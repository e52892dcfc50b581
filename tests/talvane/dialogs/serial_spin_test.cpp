// The serial number dialog's digit spin.
#include <gtest/gtest.h>

#include "talvane/dialogs/serial_spin.h"

namespace talvane {
namespace {

TEST(SerialSpin, StepsStayWithinOneHexDigit) {
  EXPECT_EQ(serialSpinStep(5, 1), 6);
  EXPECT_EQ(serialSpinStep(5, -1), 4);
  EXPECT_EQ(serialSpinStep(5, 0), 4);  // no delta counts as down
  EXPECT_EQ(serialSpinStep(5, 3), 6);  // one step, however far the wheel went
  EXPECT_EQ(serialSpinStep(15, 1), 15);
  EXPECT_EQ(serialSpinStep(0, -1), 0);
}

TEST(SerialSpin, DigitTextAndBytes) {
  EXPECT_EQ(serialDigitText(0), u"00000000");
  EXPECT_EQ(serialDigitText(10), u"0000000A");
  EXPECT_EQ(serialDigitText(15), u"0000000F");
  EXPECT_EQ(serialNumberData(11), (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, 0x0B}));
  EXPECT_EQ(serialNumberData(0x1FF)[7], 0xFF);
}

TEST(SerialSpin, StartsAtTheSerialReadAsHex) {
  EXPECT_EQ(serialSpinPosition(u"0000000A"), 10);
  EXPECT_EQ(serialSpinPosition(u"0000000f"), 15);
  EXPECT_EQ(serialSpinPosition(u" \t+0x0000000C"), 12);
  EXPECT_EQ(serialSpinPosition(u"0X7"), 7);
  EXPECT_EQ(serialSpinPosition(u"0x0X5"), 0);  // one prefix only
  EXPECT_EQ(serialSpinPosition(u"3G"), 3);
}

TEST(SerialSpin, ValuesOutsideTheDigitClamp) {
  EXPECT_EQ(serialSpinPosition(u"ZZ"), 0);
  EXPECT_EQ(serialSpinPosition(u""), 0);
  EXPECT_EQ(serialSpinPosition(u"FD-2024"), 15);
  EXPECT_EQ(serialSpinPosition(u"10"), 15);
  EXPECT_EQ(serialSpinPosition(u"-3"), 0);
  EXPECT_EQ(serialSpinPosition(u"FFFFFFFFFFFFFFFFFFFFFFFF"), 15);
  EXPECT_EQ(serialSpinPosition(u"-FFFFFFFFFFFFFFFFFFFFFFFF"), 0);
}

}  // namespace
}  // namespace talvane
