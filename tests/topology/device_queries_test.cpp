// The query exports' cursor rules, and the program's and the watchdog's
// tables kept apart.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <future>

#include "topology_fixture.h"

namespace korvex::topology {
namespace {

using hub_info::serialOf;

class Queries : public ::testing::Test {
 protected:
  // Each lookup clears the record first; a failed one leaves it zero.
  std::string found(int result) {
    if (result == 1) return serialOf(info);
    EXPECT_TRUE(hub_info::allZero(info));
    return "<none>";
  }
  HubDeviceInfo* cleared() {
    std::memset(&info, 0xAB, sizeof info);
    return &info;
  }
  std::string next() { return found(t.queries.getNextDeviceInfo(cleared())); }
  std::string index(std::uint8_t i) { return found(t.queries.getDeviceInfoIndex(cleared(), i)); }
  std::string serial(const char16_t* s) {
    return found(t.queries.getDeviceInfoSerial(cleared(), s));
  }

  Topology t{"core_faults.json"};
  HubDeviceInfo info{};
};

TEST_F(Queries, NothingBeforeTheFirstScanAndNoIoForLookups) {
  EXPECT_EQ(next(), "<none>");
  EXPECT_EQ(index(0), "<none>");
  EXPECT_EQ(serial(u""), "<none>");
  EXPECT_EQ(t.queries.getDeviceInfo(nullptr), 0);
  EXPECT_EQ(t.world->counts().ioControls, 0u);
}

TEST_F(Queries, TheCursorRunsThroughTheEntriesAndLookupsLeaveIt) {
  EXPECT_EQ(found(t.queries.getDeviceInfo(cleared())), "HIDDEN");
  EXPECT_EQ(index(2), "OTHERHC");
  EXPECT_EQ(index(3), "<none>");
  EXPECT_EQ(serial(u"C"), "C");
  EXPECT_EQ(info.idVendor, 0x1234);
  EXPECT_EQ(serial(u"c"), "<none>");
  EXPECT_EQ(serial(nullptr), "<none>");
  EXPECT_EQ(next(), "C");
  EXPECT_EQ(next(), "OTHERHC");
  EXPECT_EQ(next(), "<none>");
  EXPECT_EQ(next(), "<none>");
  EXPECT_EQ(found(t.queries.getDeviceInfo(cleared())), "HIDDEN");  // a new scan starts over
  EXPECT_EQ(next(), "C");
}

// A hub switched off shows in the status byte and its emptied port.
TEST_F(Queries, WatchdogScansNeverDisturbTheProgramsTable) {
  ASSERT_EQ(t.queries.getDeviceInfo(&info), 1);
  ASSERT_EQ(t.commands.setStatus(u"C", 0), 1);
  HubDeviceInfo watchdog{};
  ASSERT_EQ(t.queries.WatchdogScanDeviceInfo(
                &watchdog,
                [&](auto serials, auto statuses) { t.commands.getStatuses(serials, statuses); }),
            1);
  ASSERT_EQ(t.queries.WatchdogGetDeviceInfoSerial(&watchdog, u"C"), 1);
  EXPECT_EQ(watchdog.status, 0);
  EXPECT_EQ(watchdog.ConnectionStatus, 0u);
  EXPECT_EQ(watchdog.idVendor, 0);
  // The program still reads what its own scan found.
  EXPECT_EQ(next(), "C");
  EXPECT_EQ(info.status, 1);
  EXPECT_EQ(info.idVendor, 0x1234);
}

std::vector<std::string> serialsAndStatus(Topology& t) {
  std::vector<std::string> out;
  for (const auto& row : t.list()) out.push_back(serialOf(row) + "=" + std::to_string(row.status));
  return out;
}

// A scan lists the HID interfaces at most once, opens each hub and
// controller once and records 32 hubs at most. After hubs change places (a
// rescan on a device change) the records follow the tree, each with its
// own hub's status, for one more list.
TEST(ScanCosts, EachDeviceOnceAndRescansFollowTheTree) {
  Topology t("core_watched_hub.json");
  t.world->changeWorld([](sim::World& w) {
    testing::repeatFirstHub(w, 40);
    w.otherHidDevices.resize(20);
  });
  for (const std::uint64_t lists : {1u, 0u}) {
    t.world->resetCounts();
    const auto serials = t.serials();
    EXPECT_EQ(std::pair(serials.size(), serials.back()),
              std::pair(std::size_t{32}, std::string("H32")));
    EXPECT_EQ(t.world->counts().hubOpens, 41u);
    EXPECT_EQ(t.world->counts().hidOpens, lists == 1 ? 40u : 32u);
    EXPECT_EQ(t.world->counts().hidLists, lists);
  }
  ASSERT_EQ(t.commands.setStatus(u"H2", 0), 1);
  t.world->changeWorld([](sim::World& w) {
    auto& ports = w.hostControllers[0].rootHub.ports;
    std::swap(ports[0], ports[1]);
    testing::renameControllers(w);
  });
  t.world->resetCounts();
  const auto rows = serialsAndStatus(t);
  EXPECT_EQ(std::vector(rows.begin(), rows.begin() + 3),
            (std::vector<std::string>{"H2=0", "H1=1", "H3=1"}));
  EXPECT_EQ(t.world->counts().hidLists, 1u);
}

// Four silent controllers keep four threads waiting at once, the scan ends
// after one time-out, and the records keep the tree's order and statuses.
TEST(ScanCosts, SilentControllersTimeOutTogether) {
  Topology t("core_watched_hub.json");
  t.world->useVirtualClock(1000, 0, sim::VirtualWaits::Manual);  // moved by the test alone
  t.world->changeWorld([](sim::World& w) {
    testing::repeatFirstHub(w, 8);
    for (const char16_t* serial : {u"H1", u"H3", u"H4", u"H7"}) {
      testing::firmwareOf(w, serial).faults.silent = true;
    }
  });
  ASSERT_EQ(t.commands.setStatus(u"H6", 0), 1);
  auto scan = std::async(std::launch::async, [&] { return serialsAndStatus(t); });
  EXPECT_TRUE(t.world->waitForWaiters(4, std::chrono::seconds(5)) &&
              t.world->advanceAndSettle(4990));
  // Reads one after another would still be waiting: time goes on for them.
  do t.world->advance(100);
  while (scan.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready);
  const auto rows = scan.get();
  EXPECT_EQ(rows, (std::vector<std::string>{"H1=0", "H2=1", "H3=0", "H4=0", "H5=1", "H6=0", "H7=0",
                                            "H8=1"}));
}

}  // namespace
}  // namespace korvex::topology
