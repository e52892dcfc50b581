// Starting and stopping the watchdog, the library's load and unload, and the
// list changing under a running watchdog.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

void unplugAll(sim::SimPlatform& world) {
  world.changeWorld([](sim::World& w) {
    for (auto& p : w.hostControllers[0].rootHub.ports) {
      auto& downstream = p.device->hub->ports[0];
      downstream.device.reset();
      downstream.unpowered.reset();
    }
  });
}

TEST(WatchdogControl, StartAndStopAreOneShot) {
  TempFolder folder;
  LibraryOver lib(folder.path());
  auto& watchdog = lib.library.watchdog();
  EXPECT_EQ(watchdog.stop(), 0);
  EXPECT_EQ(fs::file_size(folder.path() / "korvex.dat"), 0u);  // nothing written
  EXPECT_EQ(watchdog.start(), 1);
  EXPECT_EQ(watchdog.start(), 0);
  EXPECT_EQ(watchdog.status(), 1);
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat").at(2), 1);
  EXPECT_EQ(watchdog.stop(), 1);
  EXPECT_EQ(watchdog.status(), 0);
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat").at(2), 0);
  EXPECT_EQ(watchdog.stop(), 0);
}

TEST(WatchdogControl, AThreadThatCannotBeCreatedLeavesRecoveryOff) {
  TempFolder folder;
  LibraryOver lib(folder.path());
  lib.world->failThreadStarts(true);
  EXPECT_EQ(lib.library.watchdog().start(), 0);
  EXPECT_EQ(lib.library.watchdog().status(), 0);
  lib.world->failThreadStarts(false);
  EXPECT_EQ(lib.library.watchdog().start(), 1);
}

TEST(WatchdogControl, RecoveryOnRestartsWithTheNextLoad) {
  TempFolder folder;
  {
    LibraryOver lib(folder.path());
    ASSERT_EQ(lib.library.watchdog().start(), 1);
  }  // unloaded while running: recovery stays recorded as on
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat").at(2), 1);
  LibraryOver again(folder.path());
  EXPECT_TRUE(again.library.watchdog().running());
  EXPECT_EQ(again.library.watchdog().status(), 1);
}

TEST(WatchdogControl, ACountdownGoesOnAfterARestart) {
  TempFolder folder;
  const std::string world = hubsWorld(1);
  {
    LibraryOver lib(folder.path(), world);
    listAll(lib.library);
    lib.library.autoCheckList().setTimeInfo(1, 3);
    unplugAll(*lib.world);
    lib.library.watchdog().runCheckCycle(3);  // off, countdown 3
    EXPECT_EQ(lib.library.autoCheckList().snapshot().slots[0].offCountdown, 3);
  }
  LibraryOver lib(folder.path(), world);
  EXPECT_EQ(lib.library.autoCheckList().snapshot().slots[0].offCountdown, 3);
  for (int i = 0; i < 3; ++i) lib.library.watchdog().runCheckCycle(3);
  const auto requests = lib.world->requestsTo(u"H1");
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.back().bytes[1], 0x22);
  EXPECT_EQ(requests.back().bytes[2], 1);  // switched on by the restarted count
}

// An unload right after a load that started the watchdog: the thread has
// not begun (the loader lock holds it back) and must never begin.
TEST(WatchdogControl, UnloadEndsAThreadThatHasNotStarted) {
  TempFolder folder;
  {
    LibraryOver lib(folder.path());
    ASSERT_EQ(lib.library.watchdog().start(), 1);
  }
  auto world = testing::makeWorld(inFolder("{}", folder.path()));
  world->holdNewThreads(true);
  {
    Library library(*world);
    library.load();
    EXPECT_TRUE(library.watchdog().running());
    library.unload(false);
    EXPECT_FALSE(library.watchdog().running());
    world->holdNewThreads(false);
  }
  EXPECT_EQ(readBytes(folder.path() / "korvex.dat").at(2), 1);  // still recorded as on
  EXPECT_EQ(world->counts().openHandles(), 0u);
}

// A stop does not wait for the rest of a long cycle: it returns once the
// record in hand is done.
TEST(WatchdogControl, StopReturnsBetweenRecords) {
  TempFolder folder;
  // Real time: every controller answers after 300 ms.
  auto world = sim::SimPlatform::fromJson(
      inFolder(hubsWorld(6, {{"faults", {{"replyDelayMs", 300}}}}), folder.path()));
  Library library(*world);
  library.load();
  listAll(library);
  unplugAll(*world);
  ASSERT_EQ(library.watchdog().start(), 1);
  // Stop once the first record's power-off request is out.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (powerCommands(*world, 1).empty() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(library.watchdog().stop(), 1);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::milliseconds(1500));
  int total = 0;
  for (int i = 1; i <= 6; ++i) total += static_cast<int>(powerCommands(*world, i).size());
  EXPECT_LE(total, 2);
  library.unload(false);
}

// Records added and deleted while the watchdog works: each record keeps its
// own counters, whichever slot it ends up in.
TEST(WatchdogControl, ListChangesDuringCyclesKeepCountersWithTheirRecords) {
  TempFolder folder;
  LibraryOver lib(folder.path(), hubsWorld(3));
  listAll(lib.library);
  auto& list = lib.library.autoCheckList();
  list.setTimeInfo(1, 5);
  lib.world->changeWorld([](sim::World& w) {
    sim::findController(w, u"H3")->downstream->device.reset();  // H3's device is gone
  });
  ASSERT_EQ(lib.library.watchdog().start(), 1);
  std::atomic<bool> done{false};
  std::thread editor([&] {
    const auto h2 = deviceInfo(u"H2", 0x1111, 0x2222, u"Scanner");
    while (!done) {
      list.remove(&h2);
      list.add(&h2);
    }
  });
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(lib.world->advanceAndSettle(1000));
  done = true;
  editor.join();
  lib.library.watchdog().stop();
  const AutoCheckStore block = list.snapshot();
  ASSERT_EQ(block.count, 3);
  for (std::size_t i = 0; i < block.count; ++i) {
    const std::string serial = toUtf8(block.slots[i].controllerSerial);
    // H3 was switched off in the first cycle: countdown 6 - 3 cycles.
    EXPECT_EQ(block.slots[i].offCountdown, serial == "H3" ? 3 : 0) << serial;
  }
  const std::string log = readText(folder.path() / "korvex.log");
  EXPECT_EQ(log.find(",H1,"), std::string::npos);
  EXPECT_EQ(log.find(",H2,"), std::string::npos);
  EXPECT_NE(log.find(",H3,3,"), std::string::npos);
}

}  // namespace
}  // namespace korvex::recovery
