// The status dialog's FRAM text as the bytes it stores and reads back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "talvane/dialogs/fram_text.h"

namespace talvane {
namespace {

std::u16string roundTrip(std::u16string_view text) {
  return framTextFromBytes(framBytesFromText(text));
}

TEST(FramText, Utf16LittleEndianZeroPadded) {
  const auto bytes = framBytesFromText(u"h\u00e9\u20ac");
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
            (std::vector<std::uint8_t>{'h', 0, 0xE9, 0x00, 0xAC, 0x20, 0, 0}));
  EXPECT_TRUE(std::all_of(bytes.begin() + 6, bytes.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(roundTrip(u"h\u00e9\u20ac\r\nB"), u"h\u00e9\u20ac\r\nB");
  EXPECT_EQ(roundTrip(u""), u"");
}

TEST(FramText, ALongTextIsCutToWholeUnits) {
  const std::u16string full(kFramEditCharacterLimit, u'x');
  EXPECT_EQ(roundTrip(full), full);
  EXPECT_EQ(roundTrip(full + u"yz"), full);
  // The 255th byte stays 0: no half unit is stored.
  EXPECT_EQ(framBytesFromText(full + u"\u4e2d").back(), 0);
}

TEST(FramText, ACutThroughASurrogatePairDropsItsHighHalf) {
  const std::u16string start(kFramEditCharacterLimit - 1, u'x');
  // U+1F600 as the 127th and 128th units: neither half is kept.
  EXPECT_EQ(roundTrip(start + u"\U0001F600"), start);
  // A pair that ends at the 127th unit is kept whole.
  const std::u16string shorter(kFramEditCharacterLimit - 2, u'x');
  EXPECT_EQ(roundTrip(shorter + u"\U0001F600z"), shorter + u"\U0001F600");
}

TEST(FramText, ReadingStopsAtNulOrTheLastWholeUnit) {
  const std::vector<std::uint8_t> nul{'a', 0, 0, 0, 'b', 0};
  EXPECT_EQ(framTextFromBytes(nul), u"a");
  const std::vector<std::uint8_t> odd{'a', 0, 'b'};
  EXPECT_EQ(framTextFromBytes(odd), u"a");
  // A full area without NUL: the 255th byte is no unit.
  std::vector<std::uint8_t> full(kFramTextBytes, 'y');
  EXPECT_EQ(framTextFromBytes(full), std::u16string(kFramEditCharacterLimit, u'\u7979'));
  EXPECT_EQ(framTextFromBytes({}), u"");
}

}  // namespace
}  // namespace talvane
