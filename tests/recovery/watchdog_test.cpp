// The watchdog thread in real time: a stop in the middle of a long cycle.
// Its rules, start and stop, load and unload over virtual time are the
// fault campaign's (campaign/).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

using Commands = std::vector<std::string>;

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

}  // namespace
}  // namespace korvex::recovery
