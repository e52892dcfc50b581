// The dialogs' rules: the keys the FRAM edit takes, the serial digit spin
// and the settings' numbers, read as _wtoi does and kept in 1..255.
#include <gtest/gtest.h>

#include "talvane/dialogs/fram_key_filter.h"
#include "talvane/dialogs/serial_spin.h"
#include "talvane/dialogs/setting_clamp.h"

namespace talvane {
namespace {

TEST(FramKeys, DigitsLettersAndEditingKeysOnly) {
  for (const unsigned key : {0x30u, 0x39u, 0x41u, 0x5Au, 0x60u, 0x69u, 0x08u, 0x2Eu}) {
    EXPECT_EQ(framKeyAction(key), FramKeyAction::Pass) << key;
  }
  EXPECT_EQ(framKeyAction(0x0D), FramKeyAction::AppendLineBreak);
  // Just past each range, and keys an edit would otherwise act on.
  for (const unsigned key : {0x2Fu, 0x3Au, 0x40u, 0x5Bu, 0x6Au, 0x20u, 0x09u, 0x1Bu, 0x25u, 0x24u,
                             0x73u, 0xBCu, 0xE5u}) {
    EXPECT_EQ(framKeyAction(key), FramKeyAction::Swallow) << key;
  }
}

TEST(SerialSpin, StepsPositionsTextsAndBytes) {
  EXPECT_EQ(serialSpinStep(5, 3), 6);  // one step, however far the wheel went
  EXPECT_EQ(serialSpinStep(5, 0), 4);
  EXPECT_EQ(serialSpinStep(15, 1), 15);
  EXPECT_EQ(serialSpinStep(0, -1), 0);
  // The serial read as hex and kept in range.
  EXPECT_EQ(serialSpinPosition(u"0000000A"), 10);
  EXPECT_EQ(serialSpinPosition(u"FD-2024"), 15);
  EXPECT_EQ(serialSpinPosition(u"-3"), 0);
  EXPECT_EQ(serialDigitText(10), u"0000000A");
  EXPECT_EQ(serialNumberData(11), (std::array<std::uint8_t, 8>{0, 0, 0, 0, 0, 0, 0, 0x0B}));
}

TEST(SettingClamp, TextAndByte) {
  EXPECT_EQ(clampedSettingText(u""), u"1");
  EXPECT_EQ(clampedSettingText(u"-2147483649"), u"1");
  EXPECT_EQ(clampedSettingText(u"256"), u"255");
  EXPECT_EQ(clampedSettingText(u"1"), std::nullopt);
  EXPECT_EQ(clampedSettingText(u"255x"), std::nullopt);  // the text stays as typed
  EXPECT_EQ(settingByte(u"256"), 0);
  EXPECT_EQ(settingByte(u"-1"), 255);
}

}  // namespace
}  // namespace talvane
