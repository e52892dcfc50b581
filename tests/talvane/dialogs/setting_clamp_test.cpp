// The settings dialog's numbers: read as _wtoi does and kept in 1..255.
#include <gtest/gtest.h>

#include <climits>

#include "talvane/dialogs/setting_clamp.h"

namespace talvane {
namespace {

TEST(SettingNumber, ReadsLikeWtoiAndSaturates) {
  EXPECT_EQ(settingNumber(u"  \t-12min"), -12);
  EXPECT_EQ(settingNumber(u"0x10"), 0);
  EXPECT_EQ(settingNumber(u"- 5"), 0);
  EXPECT_EQ(settingNumber(u"2147483648"), INT_MAX);
  EXPECT_EQ(settingNumber(u"-2147483648"), INT_MIN);
  EXPECT_EQ(settingNumber(u"-99999999999999999999999"), INT_MIN);
}

TEST(SettingClamp, TextAndByte) {
  EXPECT_EQ(clampedSettingText(u""), u"1");
  EXPECT_EQ(clampedSettingText(u"256"), u"255");
  EXPECT_EQ(clampedSettingText(u"1"), std::nullopt);
  EXPECT_EQ(clampedSettingText(u"255x"), std::nullopt);  // the text stays as typed
  EXPECT_EQ(settingByte(u"256"), 0);
  EXPECT_EQ(settingByte(u"-1"), 255);
}

}  // namespace
}  // namespace talvane
