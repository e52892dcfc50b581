// Recoveries from end to end: the real watchdog thread over a simulated
// world, driven by virtual time. Each scenario asserts the log's bytes and
// the power commands the hubs' controllers received.
#include <gtest/gtest.h>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

const platform::LocalTime kNoon{2026, 12, 0, 6, 12, 0, 0, 0};

class Scenario : public ::testing::Test {
 protected:
  // Hubs "H1".."Hn" (hubsWorld), all on the list, the watchdog started.
  void build(int hubs, std::uint8_t interval, std::uint8_t offTime) {
    lib_ = std::make_unique<LibraryOver>(folder_.path(), hubsWorld(hubs));
    world().setLocalTime(kNoon);
    ASSERT_NO_FATAL_FAILURE(listAll(library()));
    library().autoCheckList().setTimeInfo(interval, offTime);
    world().resetCounts();
    ASSERT_EQ(library().watchdog().start(), 1);
  }

  // Lets the watchdog run through n seconds of virtual time.
  void seconds(int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(world().advanceAndSettle(1000));
  }

  // The downstream port of hub H<i>, changed as a user would change it.
  void onPort(int hub, const std::function<void(sim::Port&)>& change) {
    world().changeWorld([&](sim::World& w) {
      const auto site = sim::findController(w, u"H" + fromUtf8(std::to_string(hub)));
      ASSERT_TRUE(site && site->downstream);
      change(*site->downstream);
    });
  }
  void unplug(int hub) {
    onPort(hub, [](sim::Port& p) {
      p.device.reset();
      p.unpowered.reset();
    });
  }
  void configure(int hub, std::uint8_t value) {
    onPort(hub, [&](sim::Port& p) {
      if (p.device) p.device->currentConfigurationValue = value;
    });
  }

  std::vector<std::string> power(int hub) { return powerCommands(world(), hub); }

  std::string line(int hub, int event) {
    return "2026/12/06 12:00:00,H" + std::to_string(hub) + "," + std::to_string(event) +
           ",0x1111,0x2222,Scanner\r\n";
  }
  std::string log() { return readText(folder_.path() / "korvex.log"); }

  sim::SimPlatform& world() { return *lib_->world; }
  Library& library() { return lib_->library; }

  TempFolder folder_;
  std::unique_ptr<LibraryOver> lib_;
};

using Commands = std::vector<std::string>;

TEST_F(Scenario, UnpluggedDeviceIsPowerCycledOncePerSwitchOn) {
  build(1, 1, 2);
  seconds(1);
  EXPECT_EQ(log(), "");
  unplug(1);
  seconds(1);  // seen absent: a line, power off
  EXPECT_EQ(log(), line(1, 3));
  EXPECT_EQ(power(1), Commands{"off"});
  seconds(1);  // still off
  EXPECT_EQ(power(1), Commands{"off"});
  seconds(1);  // off time 2: the power comes back
  EXPECT_EQ(power(1), (Commands{"off", "on"}));
  EXPECT_EQ(log(), line(1, 3));
  seconds(1);  // still absent after the switch-on: the next round
  EXPECT_EQ(log(), line(1, 3) + line(1, 3));
  EXPECT_EQ(power(1), (Commands{"off", "on", "off"}));
}

TEST_F(Scenario, HungDeviceIsRecoveredOnTheThirdCycle) {
  build(1, 1, 1);
  configure(1, 0);
  seconds(2);
  EXPECT_EQ(log(), "");
  seconds(1);
  EXPECT_EQ(log(), line(1, 0));
  EXPECT_EQ(power(1), Commands{"off"});
  EXPECT_FALSE(world().downstreamPort(u"H1")->device);
  seconds(1);  // power back; the device returns configured
  EXPECT_EQ(power(1), (Commands{"off", "on"}));
  ASSERT_TRUE(world().downstreamPort(u"H1")->device);
  seconds(3);
  EXPECT_EQ(log(), line(1, 0));
}

TEST_F(Scenario, AConfiguredSightingClearsTheFailureCount) {
  build(1, 1, 1);
  for (const std::uint8_t value : std::initializer_list<std::uint8_t>{0, 1, 0, 0}) {
    configure(1, value);
    seconds(1);
  }
  EXPECT_EQ(log(), "");
  EXPECT_TRUE(power(1).empty());
}

TEST_F(Scenario, AnotherDeviceIsPowerCycledEveryCycleItIsSeen) {
  build(1, 1, 5);
  onPort(1, [](sim::Port& p) {
    p.device->vendorId = 0x9999;
    p.afterPowerOn = sim::AfterPowerOn::Returns;
  });
  seconds(1);
  EXPECT_EQ(log(), line(1, 2));
  // Power is off now, so the port is empty: the countdown runs, nothing else.
  seconds(5);
  EXPECT_EQ(power(1), (Commands{"off", "on"}));
  seconds(1);  // back, and still the other device
  EXPECT_EQ(log(), line(1, 2) + line(1, 2));
}

TEST_F(Scenario, TwoEventsForOneRecordInOneCycle) {
  // Off time 0: each power-off is followed by the switch-on in the same
  // cycle, and the foreign device comes back hung every time.
  build(1, 1, 0);
  onPort(1, [](sim::Port& p) {
    p.device->productId = 0x0001;
    p.device->currentConfigurationValue = 0;
    p.afterPowerOn = sim::AfterPowerOn::Hangs;
  });
  seconds(3);
  EXPECT_EQ(log(), line(1, 2) + line(1, 2) + line(1, 0) + line(1, 2));
  EXPECT_EQ(power(1), (Commands{"off", "on", "off", "on", "off", "off", "on"}));
}

TEST_F(Scenario, AMissingHubGetsNoCommandButItsDueSwitchOn) {
  build(2, 1, 2);
  unplug(1);
  seconds(1);
  EXPECT_EQ(power(1), Commands{"off"});
  // The whole hub H1 goes: its controller is gone too.
  world().changeWorld([](sim::World& w) {
    auto& p = w.hostControllers[0].rootHub.ports[0];
    p.device.reset();
    p.unpowered.reset();
  });
  seconds(4);
  EXPECT_EQ(log(), line(1, 3));
  // The switch-on fell due while the hub was missing: sent (and failed), so
  // no countdown is left running.
  const AutoCheckStore block = library().autoCheckList().snapshot();
  EXPECT_EQ(block.slots[0].offCountdown, 0);
  EXPECT_EQ(block.slots[0].failureCount, 0);
  EXPECT_TRUE(power(2).empty());
}

TEST_F(Scenario, OffTimeZeroSwitchesOffAndOnInTheSameCycle) {
  build(1, 1, 0);
  unplug(1);
  seconds(1);
  EXPECT_EQ(power(1), (Commands{"off", "on"}));
  EXPECT_EQ(log(), line(1, 3));
}

TEST_F(Scenario, ThirtyTwoHubsAreCheckedInSlotOrder) {
  build(32, 1, 3);
  for (int i = 32; i >= 1; --i) unplug(i);
  seconds(1);
  std::string expected;
  for (int i = 1; i <= 32; ++i) expected += line(i, 3);
  EXPECT_EQ(log(), expected);
  for (int i = 1; i <= 32; ++i) EXPECT_EQ(power(i), Commands{"off"}) << i;
}

TEST_F(Scenario, IntervalCountsWholeSeconds) {
  build(1, 5, 1);
  unplug(1);
  seconds(4);
  EXPECT_EQ(log(), "");
  seconds(1);
  EXPECT_EQ(log(), line(1, 3));
}

}  // namespace
}  // namespace korvex::recovery
