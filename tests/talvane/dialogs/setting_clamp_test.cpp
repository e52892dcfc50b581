// The settings dialog's numbers: read as _wtoi does and kept in 1..255.
#include <gtest/gtest.h>

#include <climits>

#include "talvane/dialogs/setting_clamp.h"

namespace talvane {
namespace {

TEST(SettingNumber, ReadsLikeWtoi) {
  EXPECT_EQ(settingNumber(u"30"), 30);
  EXPECT_EQ(settingNumber(u"  \t-12"), -12);
  EXPECT_EQ(settingNumber(u"+7min"), 7);
  EXPECT_EQ(settingNumber(u"0x10"), 0);
  EXPECT_EQ(settingNumber(u"abc"), 0);
  EXPECT_EQ(settingNumber(u""), 0);
  EXPECT_EQ(settingNumber(u"- 5"), 0);
}

TEST(SettingNumber, OverflowSaturates) {
  EXPECT_EQ(settingNumber(u"2147483647"), INT_MAX);
  EXPECT_EQ(settingNumber(u"2147483648"), INT_MAX);
  EXPECT_EQ(settingNumber(u"-2147483648"), INT_MIN);
  EXPECT_EQ(settingNumber(u"99999999999999999999999"), INT_MAX);
  EXPECT_EQ(settingNumber(u"-99999999999999999999999"), INT_MIN);
}

TEST(SettingClamp, OutOfRangeTextIsReplaced) {
  EXPECT_EQ(clampedSettingText(u"0"), u"1");
  EXPECT_EQ(clampedSettingText(u""), u"1");
  EXPECT_EQ(clampedSettingText(u"-5"), u"1");
  EXPECT_EQ(clampedSettingText(u"256"), u"255");
  EXPECT_EQ(clampedSettingText(u"99999999999"), u"255");
  EXPECT_EQ(clampedSettingText(u"1"), std::nullopt);
  EXPECT_EQ(clampedSettingText(u"255"), std::nullopt);
  EXPECT_EQ(clampedSettingText(u"12x"), std::nullopt);  // the text stays as typed
}

TEST(SettingClamp, TheByteIsTheLowEightBits) {
  EXPECT_EQ(settingByte(u"255"), 255);
  EXPECT_EQ(settingByte(u"256"), 0);
  EXPECT_EQ(settingByte(u"-1"), 255);
  EXPECT_EQ(settingByte(u"99999999999"), 255);  // INT_MAX
}

}  // namespace
}  // namespace talvane
