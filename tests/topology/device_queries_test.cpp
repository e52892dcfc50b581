// The query exports' cursor rules, and the program's and the watchdog's
// tables kept apart.
#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace korvex::topology
