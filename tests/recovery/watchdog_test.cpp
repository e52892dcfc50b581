// The watchdog thread over a simulated world, driven by virtual time: its
// start and stop, the library's load and unload, and recoveries from end to
// end, each checked against the log's bytes and the power commands sent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

using Commands = std::vector<std::string>;

class Recovery : public ::testing::Test {
 protected:
  // Hubs H1..Hn, all on the list, the watchdog started.
  void start(int hubs, std::uint8_t interval, std::uint8_t offTime) {
    lib_ = std::make_unique<LibraryOver>(folder_.path(), hubs);
    ASSERT_NO_FATAL_FAILURE(lib_->listAll());
    lib_->library.autoCheckList().setTimeInfo(interval, offTime);
    ASSERT_EQ(lib_->library.watchdog().start(), 1);
    ASSERT_TRUE(lib_->world->waitForWaiters(1));
  }
  // Lets the watchdog run through n seconds of virtual time.
  void seconds(int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(lib_->world->advanceAndSettle(1000));
  }
  std::string line(int hub, int event) const {
    return "2026/12/06 12:00:00,H" + std::to_string(hub) + "," + std::to_string(event) +
           ",0x1111,0x2222,Scanner\r\n";
  }
  std::string log() const { return readText(folder_.path() / "korvex.log"); }

  TempFolder folder_;
  std::unique_ptr<LibraryOver> lib_;
};

// The first cycle comes a whole interval after the start, the next ones an
// interval after each other.
TEST_F(Recovery, AnUnpluggedDeviceIsPowerCycledOncePerSwitchOn) {
  start(1, 2, 2);
  lib_->unplug(1);
  seconds(1);
  EXPECT_EQ(log(), "");
  seconds(1);  // seen absent: a line, power off
  EXPECT_EQ(log(), line(1, 3));
  EXPECT_EQ(lib_->power(1), Commands{"off"});
  seconds(2);  // still off
  EXPECT_EQ(lib_->power(1), Commands{"off"});
  seconds(2);  // off time 2: the power comes back
  EXPECT_EQ(lib_->power(1), (Commands{"off", "on"}));
  seconds(2);  // still absent after the switch-on: the next round
  EXPECT_EQ(log(), line(1, 3) + line(1, 3));
  EXPECT_EQ(lib_->power(1), (Commands{"off", "on", "off"}));
}

TEST_F(Recovery, ThirtyTwoHubsAreCheckedInSlotOrder) {
  start(32, 1, 3);
  for (int i = 32; i >= 1; --i) lib_->unplug(i);
  seconds(1);
  std::string expected;
  for (int i = 1; i <= 32; ++i) expected += line(i, 3);
  EXPECT_EQ(log(), expected);
  for (int i = 1; i <= 32; ++i) EXPECT_EQ(lib_->power(i), Commands{"off"}) << i;
}

// Start and stop act once; recovery that was on when the library was
// unloaded starts again with the next load, and a running countdown goes on.
TEST(WatchdogControl, StartStopAndReload) {
  TempFolder folder;
  const fs::path store = folder.path() / "korvex.dat";
  {
    LibraryOver lib(folder.path());
    auto& watchdog = lib.library.watchdog();
    EXPECT_EQ(watchdog.stop(), 0);
    EXPECT_EQ(fs::file_size(store), 0u);  // nothing written
    lib.listAll();
    lib.library.autoCheckList().setTimeInfo(1, 3);
    lib.unplug(1);
    watchdog.runCheckCycle(3);  // off, countdown 3
    ASSERT_EQ(watchdog.start(), 1);
    EXPECT_EQ(watchdog.start(), 0);
    EXPECT_EQ(watchdog.status(), 1);
    EXPECT_EQ(readBytes(store).at(2), 1);
  }
  LibraryOver lib(folder.path());
  auto& watchdog = lib.library.watchdog();
  EXPECT_TRUE(watchdog.running());
  ASSERT_EQ(watchdog.stop(), 1);
  EXPECT_EQ(watchdog.status(), 0);
  EXPECT_EQ(readBytes(store).at(2), 0);
  EXPECT_EQ(watchdog.stop(), 0);
  EXPECT_EQ(lib.library.autoCheckList().snapshot().slots[0].offCountdown, 3);
  for (int i = 0; i < 3; ++i) watchdog.runCheckCycle(3);
  EXPECT_EQ(lib.power(1), Commands{"on"});  // switched on by the restarted count
}

// A stop does not wait for the rest of a long cycle: it returns once the
// record in hand is done.
TEST(WatchdogControl, StopReturnsBetweenRecords) {
  TempFolder folder;
  LibraryOver lib(folder.path(), 3, std::nullopt);  // real time
  lib.listAll();
  lib.world->changeWorld([](sim::World& w) {
    for (const auto* hub : {u"H1", u"H2", u"H3"}) {
      testing::firmwareOf(w, hub).faults.replyDelayMs = 300;
    }
  });
  for (int i = 1; i <= 3; ++i) lib.unplug(i);
  ASSERT_EQ(lib.library.watchdog().start(), 1);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (lib.power(1).empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto stopping = std::chrono::steady_clock::now();
  EXPECT_EQ(lib.library.watchdog().stop(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(1500));
  EXPECT_EQ(lib.power(1), Commands{"off"});
  EXPECT_TRUE(lib.power(2).empty());
  EXPECT_TRUE(lib.power(3).empty());
}

}  // namespace
}  // namespace korvex::recovery
