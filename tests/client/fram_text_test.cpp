// The status dialog's FRAM text as the bytes it stores and reads back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/fram_text.h"

namespace korvex::client {
namespace {

std::u16string roundTrip(std::u16string_view text) {
  return framTextFromBytes(framBytesFromText(text));
}

TEST(FramText, Utf16LittleEndianZeroPadded) {
  const auto bytes = framBytesFromText(u"h\u20ac");
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 5),
            (std::vector<std::uint8_t>{'h', 0, 0xAC, 0x20, 0}));
  EXPECT_EQ(roundTrip(u"h\u00e9\r\nB"), u"h\u00e9\r\nB");
}

TEST(FramText, ALongTextIsCutToWholeUnitsAndPairs) {
  const std::u16string full(kFramEditCharacterLimit, u'x');
  EXPECT_EQ(roundTrip(full + u"yz"), full);
  EXPECT_EQ(framBytesFromText(full + u"\u4e2d").back(), 0);  // no half unit stored
  // U+1F600 as the 127th and 128th units: neither half is kept.
  const std::u16string start(kFramEditCharacterLimit - 1, u'x');
  EXPECT_EQ(roundTrip(start + u"\U0001F600"), start);
  const std::u16string shorter(kFramEditCharacterLimit - 2, u'x');
  EXPECT_EQ(roundTrip(shorter + u"\U0001F600z"), shorter + u"\U0001F600");
}

TEST(FramText, ReadingStopsAtNulOrTheLastWholeUnit) {
  EXPECT_EQ(framTextFromBytes(std::vector<std::uint8_t>{'a', 0, 0, 0, 'b', 0}), u"a");
  const std::vector<std::uint8_t> area(kFramTextBytes, 'y');  // no NUL at all
  EXPECT_EQ(framTextFromBytes(area), std::u16string(kFramEditCharacterLimit, u'\u7979'));
}

}  // namespace
}  // namespace korvex::client
