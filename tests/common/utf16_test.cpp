#include "korvex/common/utf16.h"

#include <gtest/gtest.h>

#include <array>

namespace korvex {
namespace {

TEST(Utf16, ComparisonStopsAtTheBoundWithoutANul) {
  const std::array<char16_t, 4> noNul{u'A', u'B', u'C', u'D'};
  EXPECT_FALSE(equalTerminated(noNul.data(), u"ABCD", noNul.size()));
  EXPECT_TRUE(equalTerminated(u"ABC", u"ABC", 4));
  EXPECT_FALSE(equalTerminated(u"ABC", u"abc", 4));
  EXPECT_FALSE(equalTerminated(u"ABC", u"ABCD", 8));
  EXPECT_TRUE(equalTerminated(u"", u"", 1));
  EXPECT_FALSE(equalTerminated(nullptr, u"", 1));
}

TEST(Utf16, CopyAlwaysTerminatesAndClearsTheRest) {
  std::array<char16_t, 4> dst;
  dst.fill(u'x');
  const std::array<char16_t, 6> src{u'1', u'2', u'3', u'4', u'5', u'6'};  // no NUL
  EXPECT_EQ(copyTerminated(dst, src.data(), src.size()), 3u);
  EXPECT_EQ(std::u16string(dst.data()), u"123");
  EXPECT_EQ(copyTerminated(dst, u"A", 10), 1u);
  EXPECT_EQ(dst, (std::array<char16_t, 4>{u'A', 0, 0, 0}));
  EXPECT_EQ(copyTerminated(dst, nullptr, 10), 0u);
  EXPECT_EQ(dst[0], u'\0');
}

TEST(Utf16, Utf8RoundTrip) {
  const std::u16string text = u"Hub \u00e9\u30ad\U0001F50C";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // a lone surrogate
}

}  // namespace
}  // namespace korvex
