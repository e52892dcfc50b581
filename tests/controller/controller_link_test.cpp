// Finding the controller among the HID interfaces, the report lengths, the
// reply wait, and two threads sharing one controller.
#include "korvex/controller/controller_link.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "controller_fixture.h"

namespace korvex::controller {
namespace {

// Serials match exactly, case and all, and only on the controller's
// vendor and product. The system reads a serial into 32 units with its
// NUL, so a serial of 32 units or more never matches.
TEST(ControllerDiscovery, MatchesTheWholeSerialOfAController) {
  const std::u16string s31(31, u'S'), l31(31, u'L'), l32(32, u'L');
  const struct {
    std::u16string serial;
    bool reached;
  } cases[] = {{u"0000000B", true}, {u"0000000A", true}, {u"abc1", true}, {u"ABC1", false},
               {u"XYZ", false},     {s31, true},         {l32, false},    {l32 + u"X", false},
               {l31, false},        {u"", false},        {u"NOPE", false}};
  for (const auto& k : cases) {
    Controllers c;
    EXPECT_EQ(c.reaches(k.serial.c_str()), k.reached) << toUtf8(k.serial);
    // Nothing goes to any other controller on the way.
    EXPECT_EQ(c.world->counts().featureSets, k.reached ? 1u : 0u) << toUtf8(k.serial);
    EXPECT_EQ(c.world->counts().openHandles(), 0u);
  }
  // A missing controller fails a command at once and writes nothing; a
  // reset fails too, though it succeeds whatever its reply.
  Controllers c;
  std::uint8_t status = 0x5A;
  EXPECT_EQ(c.commands.getStatus(nullptr, &status) + c.commands.getStatus(u"NOPE", &status), 0);
  EXPECT_EQ(status, 0x5A);
  EXPECT_EQ(c.commands.setReset(u"NOPE", 1), 0);
}

// An interface that cannot be read hides no controller listed after it;
// a serial not found is then a device error (it may have been that one),
// else a missing controller. Another product is never opened at all.
TEST(ControllerDiscovery, AnUnreadableInterfaceHidesNoController) {
  const struct {
    bool sim::HidFaults::*fault;
    bool blockerIsController;
    FailureReason missing;
  } cases[] = {
      {&sim::HidFaults::detailFails, false, FailureReason::DeviceError},
      {&sim::HidFaults::openFails, false, FailureReason::NoSuchController},
      {&sim::HidFaults::attributesFails, true, FailureReason::DeviceError},
  };
  for (const auto& k : cases) {
    Controllers c;
    c.world->changeWorld([&](sim::World& w) {
      auto& blocker = *std::find_if(w.otherHidDevices.begin(), w.otherHidDevices.end(),
                                    [](const auto& d) { return d.serial == u"BLOCKER"; });
      blocker.hid.faults.*k.fault = true;
      if (k.blockerIsController) blocker.productId = protocol::kControllerProductId;
    });
    EXPECT_TRUE(c.reaches(u"AFTER"));
    EXPECT_FALSE(c.reaches(u"NOPE"));
    EXPECT_EQ(failureReason(), k.missing);
  }
  Controllers c;
  c.world->changeWorld([](sim::World& w) { w.hidListFails = true; });
  EXPECT_FALSE(c.reaches(u"0000000A"));
  EXPECT_EQ(failureReason(), FailureReason::DeviceError);
}

// The HID calls always get the length the device declares. A longer report
// is padded; one too short for the protocol's 65 bytes is never sent, since
// it would silently cut data bytes; unreadable lengths fail the command.
TEST(ControllerReportLength, FollowsTheDeclaredFeatureReportLength) {
  Controllers c;
  const std::array<std::uint8_t, 40> text{'h', 'e', 'l', 'l', 'o'};
  std::array<std::uint8_t, 40> back{};
  EXPECT_EQ(c.commands.writeFram(u"LONG", 0, 40, text.data()), 1);
  EXPECT_EQ(c.commands.readFram(u"LONG", 0, 40, back.data()), 1);
  EXPECT_EQ(back, text);
  EXPECT_EQ(c.commands.writeFram(u"SHORT", 0, 5, text.data()), 0);
  EXPECT_FALSE(c.reaches(u"CAPS"));
  EXPECT_TRUE(c.world->requestsTo(u"SHORT").empty());
  EXPECT_TRUE(c.world->requestsTo(u"CAPS").empty());
  EXPECT_EQ(c.world->counts().openHandles(), 0u);
}

class ReplyWait : public ::testing::TestWithParam<std::uint32_t> {};

// The wait lasts its whole time-out, also when the tick counter wraps during
// it: neither ending at once nor running on for 49 days; slow replies count.
TEST_P(ReplyWait, ASilentControllerTimesOutAfterTheWholeWait) {
  Controllers c(GetParam());
  ControllerHandle h = OpenController(*c.world, u"MUTE");
  ASSERT_TRUE(h.isOpen());
  std::array<std::uint8_t, protocol::kReportSize> reply{};
  const std::uint32_t before = c.world->tickCount();
  EXPECT_FALSE(WaitFeatureReply(*c.world, *h.device, reply, 5000));
  const std::uint32_t waited = c.world->tickCount() - before;
  EXPECT_GE(waited, 5000u);
  EXPECT_LE(waited, 5010u);
  Controllers slow(GetParam());
  EXPECT_TRUE(slow.reaches(u"SLOW"));   // 4900 ms
  EXPECT_FALSE(slow.reaches(u"LATE"));  // 5200 ms
}

INSTANTIATE_TEST_SUITE_P(StartTicks, ReplyWait,
                         ::testing::Values(1000u, 0xFFFFFFFFu - 2500u, 0xFFFFFFFFu - 4999u,
                                           0xFFFFFFFFu));

// A reset waits one second and succeeds whatever the reply; a request that
// is not delivered fails at once.
TEST(ReplyWaits, ResetAndUndeliveredRequests) {
  Controllers c;
  std::uint32_t before = c.world->tickCount();
  EXPECT_EQ(c.commands.setReset(u"MUTE", 0x42), 1);
  std::uint32_t waited = c.world->tickCount() - before;
  EXPECT_GE(waited, 1000u);
  EXPECT_LT(waited, 1100u);

  c.world->resetCounts();
  before = c.world->tickCount();
  EXPECT_FALSE(c.reaches(u"DEAF"));
  EXPECT_EQ(c.commands.setReset(u"DEAF", 1), 1);
  EXPECT_LT(c.world->tickCount() - before, 100u);
  EXPECT_EQ(c.world->counts().featureGets, 0u);
}

// Two threads talking to one controller (the program and the watchdog)
// never read each other's replies.
TEST(ControllerConcurrency, OverlappingCommandsEachGetTheirOwnReply) {
  // Real time, and a reply delay of a millisecond: each exchange stays open
  // long enough for the other threads to send theirs in between, were the
  // exchanges not serialized.
  Controllers c(std::nullopt);
  c.world->changeWorld(
      [](sim::World& w) { testing::firmwareOf(w, u"0000000A").faults.replyDelayMs = 1; });
  std::atomic<int> wrong{0};
  const auto reader = [&](std::uint8_t address) {
    for (int i = 0; i < 100; ++i) {
      std::array<std::uint8_t, 32> data{};
      if (c.commands.readFram(u"0000000A", address, 32, data.data()) != 1 ||
          data[31] != address + 31) {
        ++wrong;
      }
    }
  };
  std::thread a(reader, std::uint8_t{0}), b(reader, std::uint8_t{128});
  reader(64);
  a.join();
  b.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace korvex::controller
