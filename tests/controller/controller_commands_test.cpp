// The request reports each command sends, what it takes from the replies,
// and where it stops when a controller falls silent part-way.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <numeric>

#include "controller_fixture.h"

namespace korvex::controller {
namespace {

using Call = std::function<int(ControllerCommands&)>;

const std::array<std::uint8_t, 7> kClock{0x45, 0x30, 0x21, 0x00, 0x06, 0x12, 0x26};
const std::array<std::uint8_t, 8> kUsbSerial{0, 0, 0, 0, 0, 0, 0, 0x0B};

struct Requests {
  const char* name;
  Call call;
  std::vector<std::string> sent;  // hex, bytes 0.. up to the last non-zero one
};

void PrintTo(const Requests& c, std::ostream* out) {
  *out << c.name;
}

class CommandRequests : public ::testing::TestWithParam<Requests> {};

TEST_P(CommandRequests, SendExactlyTheseReports) {
  Controllers c;
  EXPECT_EQ(GetParam().call(c.commands), 1);
  auto expected = GetParam().sent;
  for (auto& r : expected) std::erase(r, ' ');
  EXPECT_EQ(c.sent(u"0000000A"), expected);
  EXPECT_EQ(c.world->counts().openHandles(), 0u);
  EXPECT_EQ(c.world->counts().hidLists, 1u);  // one discovery per command
}

std::uint8_t gByte;
std::array<std::uint8_t, 255> gBuffer;

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandRequests,
    ::testing::Values(
        Requests{"GetStatus", [](auto& c) { return c.getStatus(u"0000000A", &gByte); }, {"0021"}},
        Requests{"SetStatusOff", [](auto& c) { return c.setStatus(u"0000000A", 0); }, {"0022"}},
        Requests{
            "SetStatusOn", [](auto& c) { return c.setStatus(u"0000000A", 1); }, {"0022 01 01"}},
        Requests{"SetReset", [](auto& c) { return c.setReset(u"0000000A", 0x42); }, {"0023 42"}},
        Requests{"GetFault", [](auto& c) { return c.getFault(u"0000000A", &gByte); }, {"0024"}},
        Requests{
            "PicWrite", [](auto& c) { return c.setPicWrite(u"0000000A"); }, {"00fe 5b", "00fe e6"}},
        Requests{"GetRtc",
                 [](auto& c) { return c.getRtc(u"0000000A", gBuffer.data()); },
                 {"0026 00 07"}},
        // The clock registers are written between two control-register
        // writes that frame the update.
        Requests{"SetRtc",
                 [](auto& c) { return c.setRtc(u"0000000A", kClock.data()); },
                 {"0027 0d 03 0000000000 080001", "0027 00 07 0000000000 45302100061226",
                  "0027 0f 01 0000000000 01"}},
        Requests{"WriteUsbSerial",
                 [](auto& c) { return c.writeUsbSerial(u"0000000A", kUsbSerial.data()); },
                 {"0030 0000 0000000000 000000000000000b"}},
        // FRAM travels in chunks of 32 bytes at most.
        Requests{"ReadFramLastByte",
                 [](auto& c) { return c.readFram(u"0000000A", 254, 1, gBuffer.data()); },
                 {"0029 fe 01"}},
        Requests{"ReadFramWhole",
                 [](auto& c) { return c.readFram(u"0000000A", 0, 255, gBuffer.data()); },
                 {"0029 00 20", "0029 20 20", "0029 40 20", "0029 60 20", "0029 80 20",
                  "0029 a0 20", "0029 c0 20", "0029 e0 1f"}},
        Requests{"WriteFramOnePastAChunk",
                 [](auto& c) {
                   std::array<std::uint8_t, 33> data;
                   std::iota(data.begin(), data.end(), std::uint8_t{1});
                   return c.writeFram(u"0000000A", 100, 33, data.data());
                 },
                 {"0028 64 20 0000000000 0102030405060708090a0b0c0d0e0f10"
                  "1112131415161718191a1b1c1d1e1f20",
                  "0028 84 01 0000000000 21"}},
        // Nothing to exchange: the controller is opened and closed only.
        Requests{
            "EmptyFramRead", [](auto& c) { return c.readFram(u"0000000A", 0, 0, nullptr); }, {}}),
    [](const auto& test) { return std::string(test.param.name); });

// Only bit 0 of the status reply carries the power state; the fault byte
// and the clock come whole.
TEST(CommandReplies, TakeTheirValuesFromTheReply) {
  for (const auto& [reply, expected] : {std::pair{0x03, 1}, {0x02, 0}, {0xFF, 1}, {0x00, 0}}) {
    Controllers c;
    c.world->changeWorld([reply](sim::World& w) {
      testing::firmwareOf(w, u"0000000A").faults.statusReply = static_cast<std::uint8_t>(reply);
    });
    std::uint8_t status = 0xEE;
    EXPECT_EQ(c.commands.getStatus(u"0000000A", &status), 1);
    EXPECT_EQ(status, expected) << "reply byte " << reply;
  }
  Controllers c;
  std::uint8_t fault = 0;
  ASSERT_EQ(c.commands.getFault(u"0000000A", &fault), 1);
  EXPECT_EQ(fault, 0xA5);
  std::array<std::uint8_t, 7> clock{};
  ASSERT_EQ(c.commands.setRtc(u"0000000A", kClock.data()), 1);
  ASSERT_EQ(c.commands.getRtc(u"0000000A", clock.data()), 1);
  EXPECT_EQ(clock, kClock);
}

// A controller that falls silent after K requests: the command fails at
// the first missing reply, sends nothing after it, and a FRAM read leaves
// the caller's bytes past the chunks it got.
TEST(CommandReplies, SilenceStopsACommandAtTheFirstMissingReply) {
  const struct {
    std::uint32_t answered;
    Call call;
    std::size_t sent;
  } cases[] = {
      {1, [](auto& c) { return c.setPicWrite(u"0000000A"); }, 2},
      {1, [](auto& c) { return c.setRtc(u"0000000A", kClock.data()); }, 2},
      {2, [](auto& c) { return c.readFram(u"0000000A", 0, 100, gBuffer.data()); }, 3},
  };
  for (const auto& k : cases) {
    Controllers c;
    c.world->changeWorld([&](sim::World& w) {
      testing::firmwareOf(w, u"0000000A").faults.silentAfterRequests = k.answered;
    });
    gBuffer.fill(0xCC);
    EXPECT_EQ(k.call(c.commands), 0);
    EXPECT_EQ(c.sent(u"0000000A").size(), k.sent) << k.answered;
  }
  EXPECT_EQ(gBuffer[63], 63);     // the second chunk arrived
  EXPECT_EQ(gBuffer[64], 0xCC);   // the third did not
  EXPECT_EQ(gBuffer[100], 0xCC);  // past the count
}

// Arguments that cannot be right are refused before any I/O.
TEST(CommandArguments, RefusedBeforeAnyIo) {
  Controllers c;
  auto& k = c.commands;
  const char16_t* a = u"0000000A";
  std::uint8_t* buffer = gBuffer.data();
  EXPECT_EQ(k.readFram(a, 1, 255, buffer) + k.writeFram(a, 255, 1, buffer) +
                k.readFram(a, 0, 1, nullptr) + k.writeFram(a, 0, 1, nullptr) +
                k.getStatus(a, nullptr) + k.getFault(a, nullptr) + k.getRtc(a, nullptr) +
                k.setRtc(a, nullptr) + k.writeUsbSerial(a, nullptr),
            0);
  EXPECT_EQ(c.world->counts().hidLists, 0u);
}

}  // namespace
}  // namespace korvex::controller
