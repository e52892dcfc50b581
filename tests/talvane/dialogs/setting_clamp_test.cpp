// The settings dialog's numbers: read as _wtoi does and kept in 1..255.
#include <gtest/gtest.h>

#include "talvane/dialogs/setting_clamp.h"

namespace talvane {
namespace {

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
