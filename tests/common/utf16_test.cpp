#include "korvex/common/utf16.h"

#include <gtest/gtest.h>

#include <array>

namespace korvex {
namespace {

// Bounded comparison and copying are tested where they matter: the
// controller's serial match and the list's records.
TEST(Utf16, Utf8RoundTrip) {
  const std::u16string text = u"Hub \u00e9\u30ad\U0001F50C";
  EXPECT_EQ(fromUtf8(toUtf8(text)), text);
  EXPECT_EQ(toUtf8(u"\xD800x"), "\xEF\xBF\xBDx");  // a lone surrogate
}

}  // namespace
}  // namespace korvex
