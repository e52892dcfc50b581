// Numbers typed into the dialogs' edits and on korvexctl's command line.
#include <gtest/gtest.h>

#include <climits>

#include "client/number_text.h"

namespace korvex::client {
namespace {

TEST(LeadingNumber, ReadsLikeWcstolAndSaturates) {
  struct Case {
    std::u16string_view text;
    int base, min, max, expected;
  };
  const Case cases[] = {
      {u"  \t-12min", 10, INT_MIN, INT_MAX, -12},
      {u"0x10", 10, INT_MIN, INT_MAX, 0},
      {u"- 5", 10, INT_MIN, INT_MAX, 0},
      {u"2147483648", 10, INT_MIN, INT_MAX, INT_MAX},
      {u"-99999999999999999999999", 10, INT_MIN, INT_MAX, INT_MIN},
      {u" \t+0x0000000c", 16, 0, 15, 12},
      {u"0x0X5", 16, 0, 15, 0},  // one prefix only
      {u"3G", 16, 0, 15, 3},
      {u"FD-2024", 16, 0, 15, 15},
      {u"-3", 16, 0, 15, 0},
      {u"FFFFFFFFFFFFFFFFFFFFFFFF", 16, 0, 15, 15},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(leadingNumber(c.text, c.base, c.min, c.max), c.expected)
        << std::string(c.text.begin(), c.text.end());
  }
}

TEST(CommandLineNumbers, AnyBaseOrStrictDecimal) {
  const std::pair<std::string, std::optional<unsigned>> numbers[] = {
      {"0x1F", 0x1Fu}, {" 7", 7u}, {"010", 8u}, {"255", 255u},
      {"256", {}},     {"7x", {}}, {"", {}},    {"-1", {}}};
  for (const auto& [text, expected] : numbers) EXPECT_EQ(parseNumber(text, 255), expected) << text;
  // No longer than the maximum is written, leading zeros and all.
  const std::pair<std::string, std::optional<unsigned>> decimals[] = {
      {"255", 255u}, {"060", 60u}, {"1", 1u},  {"0060", {}}, {"0", {}},
      {"256", {}},   {"0x10", {}}, {" 7", {}}, {"", {}}};
  for (const auto& [text, expected] : decimals) {
    EXPECT_EQ(parseDecimal(text, 1, 255), expected) << text;
  }
}

}  // namespace
}  // namespace korvex::client
