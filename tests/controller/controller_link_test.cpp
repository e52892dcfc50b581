// Finding the controller among the HID interfaces, and the reply wait.
#include "korvex/controller/controller_link.h"

#include <gtest/gtest.h>

#include <array>

#include "korvex/controller/controller_commands.h"
#include "sim_world_builder.h"

namespace korvex::controller {
namespace {

using testing::hidWorld;
using testing::makeWorld;
using testing::otherHidDevice;
using testing::standaloneController;

struct Fixture {
  explicit Fixture(const std::string& json, std::uint32_t startTick = 1000)
      : world(makeWorld(json, startTick)), commands(*world, locks) {}

  // GetStatus is the cheapest command: one exchange, one reply byte.
  bool reaches(const char16_t* serial) {
    std::uint8_t status = 0xEE;
    return commands.getStatus(serial, &status) == 1;
  }

  std::unique_ptr<sim::SimPlatform> world;
  ControllerLocks locks;
  ControllerCommands commands;
};

TEST(ControllerDiscovery, MatchesTheSerialExactlyWhateverItsPosition) {
  for (const bool matchFirst : {true, false}) {
    SCOPED_TRACE(matchFirst ? "match first" : "match second");
    const auto a = standaloneController("0000000A");
    const auto b = standaloneController("0000000B");
    Fixture f(hidWorld(matchFirst ? std::vector{a, b} : std::vector{b, a}));
    EXPECT_TRUE(f.reaches(u"0000000A"));
    EXPECT_EQ(f.world->requestsTo(u"0000000A").size(), 1u);
    EXPECT_TRUE(f.world->requestsTo(u"0000000B").empty());
    EXPECT_EQ(f.world->counts().openHandles(), 0u);
  }
}

TEST(ControllerDiscovery, LetterCaseAndIdentityMustMatch) {
  Fixture f(hidWorld({standaloneController("abc1"), otherHidDevice(0x3A91, 0x0024, "XYZ"),
                      otherHidDevice(0x3A92, 0x0023, "XYZ")}));
  EXPECT_FALSE(f.reaches(u"ABC1"));
  EXPECT_FALSE(f.reaches(u"XYZ"));
  EXPECT_TRUE(f.reaches(u"abc1"));
  EXPECT_EQ(f.world->counts().featureSets, 1u);
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

TEST(ControllerDiscovery, OnlySerialsThatFitTheSixtyFourByteBufferMatch) {
  const std::string fits(31, 'S');
  const std::string tooLong(32, 'L');
  const std::string longer = tooLong + "X";
  Fixture f(hidWorld(
      {standaloneController(fits), standaloneController(tooLong), standaloneController(longer)}));
  EXPECT_TRUE(f.reaches(std::u16string(31, u'S').c_str()));
  EXPECT_FALSE(f.reaches(std::u16string(32, u'L').c_str()));
  EXPECT_FALSE(f.reaches((std::u16string(32, u'L') + u"X").c_str()));
  // The first 32 units alone do not match a longer serial either.
  EXPECT_FALSE(f.reaches(std::u16string(31, u'L').c_str()));
}

TEST(ControllerDiscovery, UnknownOrMissingSerialSendsNothing) {
  Fixture f(hidWorld({standaloneController("0000000A")}));
  std::uint8_t out = 0x5A;
  std::array<std::uint8_t, 8> clock{};  // room for the 8 serial bytes too
  EXPECT_EQ(f.commands.getStatus(u"0000000Z", &out), 0);
  EXPECT_EQ(f.commands.getStatus(nullptr, &out), 0);
  EXPECT_EQ(f.commands.getStatus(u"", &out), 0);
  EXPECT_EQ(f.commands.setStatus(u"0000000Z", 1), 0);
  EXPECT_EQ(f.commands.setReset(u"0000000Z", 1), 0);
  EXPECT_EQ(f.commands.getFault(u"0000000Z", &out), 0);
  EXPECT_EQ(f.commands.setPicWrite(u"0000000Z"), 0);
  EXPECT_EQ(f.commands.getRtc(u"0000000Z", clock.data()), 0);
  EXPECT_EQ(f.commands.setRtc(u"0000000Z", clock.data()), 0);
  EXPECT_EQ(f.commands.readFram(u"0000000Z", 0, 7, clock.data()), 0);
  EXPECT_EQ(f.commands.writeFram(u"0000000Z", 0, 7, clock.data()), 0);
  EXPECT_EQ(f.commands.writeUsbSerial(u"0000000Z", clock.data()), 0);
  EXPECT_EQ(out, 0x5A);
  EXPECT_EQ(f.world->counts().featureSets, 0u);
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

// An interface that cannot be read ends the whole search: controllers after
// it are not looked at, controllers before it are found.
TEST(ControllerDiscovery, UnreadableInterfaceEndsTheSearch) {
  for (const std::string fault :
       {R"("detailFails": true)", R"("openFails": true)", R"("attributesFails": true)"}) {
    SCOPED_TRACE(fault);
    Fixture f(hidWorld({standaloneController("BEFORE"), otherHidDevice(0x1234, 0x5678, "X", fault),
                        standaloneController("AFTER")}));
    EXPECT_TRUE(f.reaches(u"BEFORE"));
    EXPECT_FALSE(f.reaches(u"AFTER"));
    EXPECT_TRUE(f.world->requestsTo(u"AFTER").empty());
    EXPECT_EQ(f.world->counts().openHandles(), 0u);
  }
}

TEST(ControllerDiscovery, UnreadableCapsFailTheCommandWithoutALeak) {
  Fixture f(hidWorld({standaloneController("CAPS", R"("capsFails": true)")}));
  EXPECT_FALSE(f.reaches(u"CAPS"));
  EXPECT_EQ(f.world->counts().featureSets, 0u);
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

TEST(ControllerDiscovery, FindsNothingWhenNoInterfaceExists) {
  Fixture f(hidWorld({}));
  EXPECT_FALSE(f.reaches(u"0000000A"));
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

// The HID calls always get the length the device declares. A longer report
// is padded; one too short for the protocol's 65 bytes is never sent, since
// it would silently cut data bytes.
TEST(ControllerReportLength, FollowsTheDeclaredFeatureReportLength) {
  Fixture f(hidWorld({standaloneController("LONG", R"("featureReportLength": 128)"),
                      standaloneController("SHORT", R"("featureReportLength": 64)")}));
  const std::array<std::uint8_t, 40> text{'h', 'e', 'l', 'l', 'o'};
  EXPECT_EQ(f.commands.writeFram(u"LONG", 0, 40, text.data()), 1);
  std::array<std::uint8_t, 40> back{};
  EXPECT_EQ(f.commands.readFram(u"LONG", 0, 40, back.data()), 1);
  EXPECT_EQ(back, text);

  EXPECT_EQ(f.commands.writeFram(u"SHORT", 0, 5, text.data()), 0);
  EXPECT_TRUE(f.world->requestsTo(u"SHORT").empty());
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

class ReplyWait : public ::testing::TestWithParam<std::uint32_t> {};

// The wait lasts its whole time-out, also when the tick counter wraps during
// it: neither ending at once nor running on for 49 days.
TEST_P(ReplyWait, SilentControllerTimesOutAfterTheFullWait) {
  Fixture f(hidWorld({standaloneController("MUTE", R"("silent": true)")}), GetParam());
  ControllerHandle h;
  ASSERT_TRUE(OpenController(*f.world, h, u"MUTE"));
  std::array<std::uint8_t, kReportSize> reply{};
  const std::uint32_t before = f.world->tickCount();
  EXPECT_FALSE(WaitFeatureReply(*f.world, h, reply, 5000));
  const std::uint32_t waited = f.world->tickCount() - before;
  EXPECT_GE(waited, 5000u);
  EXPECT_LE(waited, 5010u);
  CloseController(*f.world, h);
  EXPECT_FALSE(h.isOpen());
  EXPECT_EQ(f.world->counts().openHandles(), 0u);
}

INSTANTIATE_TEST_SUITE_P(StartTicks, ReplyWait,
                         ::testing::Values(1000u, 0xFFFFFFFFu - 2500u, 0xFFFFFFFFu - 4999u,
                                           0xFFFFFFFFu));

TEST(ReplyWait, SlowReplyArrivesWithinTheTimeOutAcrossTheWrap) {
  Fixture f(hidWorld({standaloneController("SLOW", R"("replyDelayMs": 4900)"),
                      standaloneController("LATE", R"("replyDelayMs": 5200)")}),
            0xFFFFFFFFu - 1000u);
  std::uint8_t status = 0xEE;
  EXPECT_EQ(f.commands.getStatus(u"SLOW", &status), 1);
  EXPECT_EQ(status, 1);
  status = 0xEE;
  EXPECT_EQ(f.commands.getStatus(u"LATE", &status), 0);
  EXPECT_EQ(status, 0xEE);
}

TEST(ReplyWait, ResetWaitsOneSecondAndSucceedsWithoutAReply) {
  Fixture f(hidWorld({standaloneController("MUTE", R"("silent": true)")}));
  const std::uint32_t before = f.world->tickCount();
  EXPECT_EQ(f.commands.setReset(u"MUTE", 0x42), 1);
  const std::uint32_t waited = f.world->tickCount() - before;
  EXPECT_GE(waited, 1000u);
  EXPECT_LT(waited, 1100u);
  ASSERT_EQ(f.world->requestsTo(u"MUTE").size(), 1u);
  EXPECT_EQ(f.world->requestsTo(u"MUTE")[0].bytes[2], 0x42);
}

TEST(ReplyWait, UndeliveredRequestFailsAtOnce) {
  Fixture f(hidWorld({standaloneController("DEAF", R"("setFeatureFails": true)")}));
  const std::uint32_t before = f.world->tickCount();
  std::uint8_t status = 0xEE;
  EXPECT_EQ(f.commands.getStatus(u"DEAF", &status), 0);
  EXPECT_EQ(f.commands.setReset(u"DEAF", 1), 1);  // opened: success all the same
  EXPECT_LT(f.world->tickCount() - before, 100u);
  EXPECT_EQ(f.world->counts().featureGets, 0u);
}

}  // namespace
}  // namespace korvex::controller
