// A stop in real time, where the campaign's virtual clock cannot reach: a
// cycle whose status reads wait side by side on silent controllers (5 s
// each to time out) does not hold up the stop, and the stop switches on
// every hub held off, silent or not.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

using namespace std::chrono_literals;

TEST(WatchdogStop, CutsShortTheWaitsForSilentControllers) {
  TempFolder folder;
  auto world = testing::loadWorld("core_watched_hub.json", std::nullopt);  // real time
  world->changeWorld([](sim::World& w) {
    testing::repeatFirstHub(w, 4);
    for (const auto* hub : {u"H1", u"H2", u"H3", u"H4"}) {
      testing::downstreamOf(w, hub).device.reset();
    }
  });
  Library library(*world, *world, folder.path());
  library.load();
  for (const auto* hub : {u"H1", u"H2", u"H3", u"H4"}) {
    const HubDeviceInfo info = deviceInfo(hub);
    ASSERT_EQ(library.autoCheckList().add(&info), 1);
  }
  library.watchdog().runCheckCycle(2);  // all off, countdowns running
  world->changeWorld([](sim::World& w) {
    for (const auto* hub : {u"H2", u"H3", u"H4"}) testing::firmwareOf(w, hub).faults.silent = true;
  });
  const std::size_t asked = world->requestsTo(u"H2").size();
  ASSERT_EQ(library.watchdog().start(), 1);
  // The first cycle's scan asks H2 for its status, and waits.
  for (int i = 0; i < 4000 && world->requestsTo(u"H2").size() == asked; ++i) {
    std::this_thread::sleep_for(5ms);
  }
  std::this_thread::sleep_for(50ms);
  const auto stopping = std::chrono::steady_clock::now();
  EXPECT_EQ(library.watchdog().stop(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, 1500ms);
  for (const auto* hub : {u"H1", u"H2", u"H3", u"H4"}) {
    std::vector<int> power;
    for (const auto& r : world->requestsTo(hub)) {
      if (r.bytes[1] == 0x22) power.push_back(r.bytes[2]);
    }
    EXPECT_EQ(power, (std::vector<int>{0, 1})) << toUtf8(hub);
  }
  const AutoCheckStore saved = library.autoCheckList().snapshot();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(saved.slots[i].offCountdown, 0) << i;
  library.unload(Library::Unload::Orderly);
}

}  // namespace
}  // namespace korvex::recovery
