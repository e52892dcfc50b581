// Splitting the event log as the log viewer shows it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "talvane/dialogs/log_line_split.h"

namespace talvane {
namespace {

TEST(LogLines, EndAtLfWithOrWithoutCr) {
  EXPECT_EQ(splitLogLines("a\r\nb\nc\r\n"), (std::vector<std::u16string>{u"a", u"b", u"c"}));
  // A last line without its end counts; an empty line is a row of its own.
  EXPECT_EQ(splitLogLines("a\r\n\r\nb"), (std::vector<std::u16string>{u"a", u"", u"b"}));
  // Only the CR right before LF belongs to the line end.
  EXPECT_EQ(splitLogLines("a\rb\r\r\n"), (std::vector<std::u16string>{u"a\rb\r"}));
  EXPECT_TRUE(splitLogLines("").empty());
}

TEST(LogLines, EachByteIsTheCharacterWithItsCode) {
  const auto lines = splitLogLines(std::string("caf\xE9,\x80\xFF\r\n", 9));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], std::u16string(u"caf\u00E9,\u0080\u00FF"));
  // Every upper byte, none taken as part of a multi-byte sequence.
  std::string upper;
  std::u16string expected;
  for (int b = 0x80; b <= 0xFF; ++b) {
    upper += static_cast<char>(b);
    expected += static_cast<char16_t>(b);
  }
  EXPECT_EQ(splitLogLines(upper), std::vector<std::u16string>{expected});
}

TEST(LogLines, OverAThousandLinesInFileOrder) {
  std::string file;
  for (int i = 1; i <= 1200; ++i) {
    file += "2026/12/06 12:00:00,H" + std::to_string(i) + ",3,0x1111,0x2222,Scanner\r\n";
  }
  const auto lines = splitLogLines(file);
  ASSERT_EQ(lines.size(), 1200u);
  EXPECT_EQ(splitLogLine(lines.front()).serial, u"H1");
  EXPECT_EQ(splitLogLine(lines[499]).serial, u"H500");
  EXPECT_EQ(splitLogLine(lines[1000]).serial, u"H1001");
  EXPECT_EQ(splitLogLine(lines.back()).serial, u"H1200");
}

TEST(LogFields, SixFieldsFromALibraryLine) {
  const auto f = splitLogLine(u"2026/12/06 12:00:00,0000000B,0,0x4E21,0x1000,USB Flash Disk");
  EXPECT_EQ(f.dateTime, u"2026/12/06 12:00:00");
  EXPECT_EQ(f.serial, u"0000000B");
  EXPECT_EQ(f.event, u"0");
  EXPECT_EQ(f.vid, u"0x4E21");
  EXPECT_EQ(f.pid, u"0x1000");
  EXPECT_EQ(f.product, u"USB Flash Disk");
}

TEST(LogFields, TheProductKeepsItsCommasAndNothingIsTrimmed) {
  const auto f = splitLogLine(u"t,s,2,v,p, Disk, 2 GB,,");
  EXPECT_EQ(f.product, u" Disk, 2 GB,,");
  EXPECT_EQ(splitLogLine(u"t,s,3,v,p,").product, u"");
}

TEST(LogFields, FieldsALineDoesNotReachStayEmpty) {
  const auto none = splitLogLine(u"no commas at all");
  EXPECT_EQ(none.dateTime, u"no commas at all");
  EXPECT_EQ(none.serial + none.event + none.vid + none.pid + none.product, u"");
  const auto two = splitLogLine(u"a,b,c");
  EXPECT_EQ(two.event, u"c");
  EXPECT_EQ(two.vid, u"");
  EXPECT_EQ(two.product, u"");
  EXPECT_EQ(splitLogLine(u"").dateTime, u"");
}

}  // namespace
}  // namespace talvane
