// The HID serial number as HidD_GetSerialNumberString leaves it in its
// zeroed 32-unit buffer.
#include <gtest/gtest.h>

#include <array>

#include "korvex/backends/win32/hub_replies.h"

namespace korvex::win32 {

struct SerialCase {
  const char* label;
  std::u16string written;  // what the device wrote from the buffer's start
  std::u16string serial;
};

void PrintTo(const SerialCase& c, std::ostream* os) {
  *os << c.label;
}

const SerialCase kCases[] = {
    {"NothingWritten", u"", u""},
    {"EndsAtItsNul", std::u16string(u"KVX-7\0junk", 10), u"KVX-7"},
    {"NulFirst", std::u16string(u"\0junk", 5), u""},
    {"ThirtyOneUnits", std::u16string(31, u'S'), std::u16string(31, u'S')},
    {"AllThirtyTwoUnitsWithoutANul", std::u16string(32, u'S'), std::u16string(32, u'S')},
};

class HidSerialTest : public testing::TestWithParam<SerialCase> {};

TEST_P(HidSerialTest, ReadsUpToTheNulWithinTheBuffer) {
  // The buffer sits inside a larger one whose units after it are not NUL:
  // a reading past its 32 units would show.
  std::array<char16_t, 40> memory;
  memory.fill(u'X');
  std::fill_n(memory.begin(), seam::kHidSerialUnits, u'\0');
  std::copy(GetParam().written.begin(), GetParam().written.end(), memory.begin());
  const std::span<const char16_t, seam::kHidSerialUnits> buffer(memory.data(),
                                                                seam::kHidSerialUnits);
  EXPECT_EQ(parseHidSerial(buffer), GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, HidSerialTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SerialCase>& param) {
                           return std::string(param.param.label);
                         });

}  // namespace korvex::win32
