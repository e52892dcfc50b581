// The parts of korvexctl that decide things without the library.
#include <korvex.h>

#include <gtest/gtest.h>

#include "fram_text.h"
#include "invocation.h"
#include "library_failure.h"
#include "local_clock.h"
#include "text_table.h"

namespace korvexctl {
namespace {

TEST(LocalClock, ParsesOnlyWholeValidTimes) {
  const auto t = parseClock("2026-12-06 21:05:59");
  ASSERT_TRUE(t);
  EXPECT_EQ(korvex::client::clockText(korvex::client::clockRecordFromLocal(*t)),
            u"2026/12/06 21:05:59");
  EXPECT_TRUE(parseClock("2099/01/31 00:00:00"));
  for (const char* bad : {"1999-12-31 23:59:59", "2026-13-01 00:00:00", "2026-12-06 24:00:00",
                          "2026-12/06 10:00:00", "2026-12-06 10:00:00 trailing", ""}) {
    EXPECT_FALSE(parseClock(bad)) << bad;
  }
}

TEST(FramText, TextFromAnAddressFillsTheRestOfTheArea) {
  const auto bytes = framBytesFromText(u"h\u00e9", 10);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes, (std::vector<std::uint8_t>{'h', 0, 0xE9, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_TRUE(framBytesFromText(std::u16string(127, u'x'), 255));
  // Too long is refused, never cut as the dialog's edit would cut it.
  EXPECT_FALSE(framBytesFromText(std::u16string(128, u'x'), 255));
  EXPECT_FALSE(framBytesFromText(u"abc", 5));
}

TEST(FramText, HexParsing) {
  EXPECT_EQ(parseHex("00 ff 7A"), (std::vector<std::uint8_t>{0x00, 0xFF, 0x7A}));
  EXPECT_EQ(parseHex("0a0b"), (std::vector<std::uint8_t>{0x0A, 0x0B}));
  for (const char* bad : {"0g", "abc", "a b"}) EXPECT_FALSE(parseHex(bad)) << bad;
  EXPECT_EQ(toHex({0x00, 0xAB}), "00 ab");
}

TEST(Invocation, OptionsMayStandAnywhere) {
  const auto parsed =
      parseInvocation({"--world", "w.json", "fram", "write", "0000000A", "--json", "hello"});
  const auto* inv = std::get_if<Invocation>(&parsed);
  ASSERT_TRUE(inv);
  EXPECT_EQ(inv->world, "w.json");
  EXPECT_TRUE(inv->json);
  EXPECT_EQ(inv->command, "fram");
  EXPECT_EQ(inv->args, (std::vector<std::string>{"write", "0000000A", "hello"}));
}

TEST(Invocation, RejectsWhatItCannotRun) {
  for (const auto& args :
       std::vector<std::vector<std::string>>{{}, {"--world"}, {"--bogus", "status"}}) {
    EXPECT_TRUE(std::holds_alternative<UsageError>(parseInvocation(args)));
  }
}

// A failed controller command's exit code follows the library's reason.
TEST(LibraryFailure, ControllerReasonsGiveTheirExitCodes) {
  const std::pair<int, int> cases[] = {{KORVEX_ERROR_NO_SUCH_CONTROLLER, kNoSuchController},
                                       {KORVEX_ERROR_DEVICE_ERROR, kNoSuchController},
                                       {KORVEX_ERROR_NO_REPLY, kNoReply},
                                       {KORVEX_ERROR_BAD_ARGUMENT, kBadArgument},
                                       {KORVEX_ERROR_INTERNAL, kFailed}};
  for (const auto& [reason, exitCode] : cases) {
    EXPECT_EQ(controllerFailure(reason, "0000000A", 5000).exitCode, exitCode) << reason;
  }
}

TEST(TextTable, PadsByCharactersNotBytes) {
  // "é" is two bytes in UTF-8 but one column on the terminal.
  EXPECT_EQ(formatTable({{"No", "Name", "X"}, {"1", "caf\xC3\xA9", "y"}, {"10", "", ""}}),
            "No  Name  X\n"
            "1   caf\xC3\xA9  y\n"
            "10");
}

}  // namespace
}  // namespace korvexctl
