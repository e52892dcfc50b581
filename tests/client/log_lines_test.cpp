// The event log's lines and fields.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/log_lines.h"

namespace korvex::client {
namespace {

using Lines = std::vector<std::u16string>;

TEST(LogLines, EndAtLfWithOrWithoutCr) {
  const std::pair<std::string, Lines> cases[] = {
      {"a\r\nb\nc\r\n", {u"a", u"b", u"c"}},
      // A last line without its end counts; an empty line is a row of its own.
      {"a\r\n\r\nb", {u"a", u"", u"b"}},
      // Only the CR right before LF belongs to the line end.
      {"a\rb\r\r\n", {u"a\rb\r"}},
      {"", {}},
      // Each byte is the character with its code, never part of a sequence.
      {"caf\xE9,\x80\xFF\r\n", {u"caf\u00E9,\u0080\u00FF"}},
  };
  for (const auto& [bytes, lines] : cases) EXPECT_EQ(splitLogLines(bytes), lines) << bytes;
}

TEST(LogLines, OverAThousandLinesInFileOrder) {
  std::string file;
  for (int i = 1; i <= 1200; ++i) file += "t,H" + std::to_string(i) + ",3,v,p,x\r\n";
  const auto lines = splitLogLines(file);
  ASSERT_EQ(lines.size(), 1200u);
  EXPECT_EQ(splitLogLine(lines[0]).serial, u"H1");
  EXPECT_EQ(splitLogLine(lines[499]).serial, u"H500");
  EXPECT_EQ(splitLogLine(lines[1199]).serial, u"H1200");
}

TEST(LogFields, SplitAtTheFirstFiveCommas) {
  using Fields = std::vector<std::u16string>;
  const std::pair<std::u16string, Fields> cases[] = {
      {u"2026/12/06 12:00:00,0000000B,0,0x4E21,0x1000,USB Flash Disk",
       {u"2026/12/06 12:00:00", u"0000000B", u"0", u"0x4E21", u"0x1000", u"USB Flash Disk"}},
      // The product keeps its commas; nothing is trimmed.
      {u"t,s,2,v,p, Disk, 2 GB,,", {u"t", u"s", u"2", u"v", u"p", u" Disk, 2 GB,,"}},
      {u"t,s,3,v,p,", {u"t", u"s", u"3", u"v", u"p", u""}},
      // Fields the line does not reach stay empty.
      {u"a,b,c", {u"a", u"b", u"c", u"", u"", u""}},
      {u"no commas", {u"no commas", u"", u"", u"", u"", u""}},
  };
  for (const auto& [line, expected] : cases) {
    const LogFields f = splitLogLine(line);
    EXPECT_EQ((Fields{f.dateTime, f.serial, f.event, f.vid, f.pid, f.product}), expected);
  }
}

}  // namespace
}  // namespace korvex::client
