// The watchdog thread over a simulated world, driven by virtual time: its
// start and stop, the library's load and unload, and recoveries from end to
// end, each checked against the log's bytes and the power commands sent.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "korvex/common/failure_reason.h"
#include "korvex/common/worker_thread.h"

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

constexpr std::size_t kRecoveryOnByte = offsetof(AutoCheckStore, recoveryOn);
constexpr std::size_t kFirstCountdownByte =
    offsetof(AutoCheckStore, slots) + offsetof(AutoCheckRecord, offCountdown);

// Start and stop act once; recovery that was on when the library was
// unloaded starts again with the next load. An unload and a stop switch on
// the hubs held off, also one whose countdown the store brought from a
// process that ended with the hub off.
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
    EXPECT_EQ(readBytes(store).at(kRecoveryOnByte), 1);
    lib.library.unload(Library::Unload::Orderly);
    EXPECT_EQ(lib.power(1), (Commands{"off", "on"}));
  }
  std::vector<std::uint8_t> bytes = readBytes(store);
  EXPECT_EQ(bytes.at(kRecoveryOnByte), 1);
  EXPECT_EQ(bytes.at(kFirstCountdownByte), 0);
  bytes.at(kFirstCountdownByte) = 2;
  writeBytes(store, bytes);
  LibraryOver lib(folder.path());
  auto& watchdog = lib.library.watchdog();
  EXPECT_TRUE(watchdog.running());
  ASSERT_EQ(watchdog.stop(), 1);
  EXPECT_EQ(watchdog.status(), 0);
  EXPECT_EQ(lib.power(1), Commands{"on"});
  bytes = readBytes(store);
  EXPECT_EQ(bytes.at(kRecoveryOnByte), 0);
  EXPECT_EQ(bytes.at(kFirstCountdownByte), 0);
  EXPECT_EQ(watchdog.stop(), 0);
}

// A hub taken off the list while its power is held off is switched on at
// once; one whose power is on gets no command.
TEST(WatchdogControl, DeletingAHeldOffHubSwitchesItOn) {
  TempFolder folder;
  LibraryOver lib(folder.path(), 2);
  lib.listAll();
  lib.unplug(1);
  lib.library.watchdog().runCheckCycle(3);  // H1 off, H2 untouched
  for (const auto* serial : {u"H1", u"H2"}) {
    const HubDeviceInfo info = deviceInfo(serial);
    EXPECT_EQ(lib.library.watchdog().deleteListed(&info), 1);
  }
  EXPECT_EQ(lib.power(1), (Commands{"off", "on"}));
  EXPECT_EQ(lib.power(2), Commands{});
}

// A start that cannot create its thread, at load or by the export, leaves
// recovery off, in the store too.
TEST(WatchdogControl, AStartWithoutAThreadLeavesRecoveryOff) {
  struct FailingStarts {
    FailingStarts() { WorkerThread::failStartsForTesting(true); }
    ~FailingStarts() { WorkerThread::failStartsForTesting(false); }
  } failing;
  TempFolder folder;
  const fs::path store = folder.path() / "korvex.dat";
  std::vector<std::uint8_t> stored(sizeof(AutoCheckStore), 0);
  stored.at(kRecoveryOnByte) = 1;
  writeBytes(store, stored);
  LibraryOver lib(folder.path());
  auto& watchdog = lib.library.watchdog();
  EXPECT_FALSE(watchdog.running());
  EXPECT_EQ(watchdog.status(), 0);
  EXPECT_EQ(readBytes(store).at(kRecoveryOnByte), 0);
  writeBytes(store, stored);
  EXPECT_EQ(watchdog.start(), 0);
  EXPECT_EQ(failureReason(), FailureReason::ThreadFailed);
  EXPECT_EQ(watchdog.status(), 0);
  EXPECT_EQ(readBytes(store).at(kRecoveryOnByte), 0);
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
  EXPECT_EQ(lib.power(1), (Commands{"off", "on"}));  // switched on again by the stop
  EXPECT_TRUE(lib.power(2).empty());
  EXPECT_TRUE(lib.power(3).empty());
}

// A cycle held up by silent controllers (5 s each to time out) does not hold
// up a stop, and the stop switches on every hub held off, silent or not.
TEST(WatchdogControl, AStopCutsShortTheWaitsForSilentControllers) {
  TempFolder folder;
  LibraryOver lib(folder.path(), 4, std::nullopt);  // real time
  lib.listAll();
  for (int i = 1; i <= 4; ++i) lib.unplug(i);
  lib.library.watchdog().runCheckCycle(2);  // all off, countdowns running
  lib.world->changeWorld([](sim::World& w) {
    for (const auto* hub : {u"H2", u"H3", u"H4"}) testing::firmwareOf(w, hub).faults.silent = true;
  });
  const std::size_t asked = lib.world->requestsTo(u"H2").size();
  ASSERT_EQ(lib.library.watchdog().start(), 1);
  // The first cycle's scan asks H2 for its status, and waits.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (lib.world->requestsTo(u"H2").size() == asked && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto stopping = std::chrono::steady_clock::now();
  EXPECT_EQ(lib.library.watchdog().stop(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(1500));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(lib.power(i), (Commands{"off", "on"})) << i;
  const AutoCheckStore saved = lib.library.autoCheckList().snapshot();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(saved.slots[i].offCountdown, 0) << i;
}

}  // namespace
}  // namespace korvex::recovery
