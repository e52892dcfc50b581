// The query exports' cursor rules, and the two tables kept apart.
#include <gtest/gtest.h>

#include "topology_fixture.h"

namespace korvex::topology {
namespace {

using testing::controllerHub;
using testing::hostController;
using testing::Json;
using testing::port;
using testing::treeWorld;
using testing::usbDevice;

std::string threeHubs() {
  return treeWorld({hostController(
      0, std::nullopt,
      {port(controllerHub("A", usbDevice(1, 1))), port(controllerHub("B", usbDevice(2, 2))),
       port(controllerHub("C", usbDevice(3, 3)))})});
}

class Queries : public ::testing::Test {
 protected:
  Topology t{threeHubs()};
  HubDeviceInfo info{};

  std::string next() {
    std::memset(&info, 0xAB, sizeof info);
    if (!t.queries.getNextDeviceInfo(&info)) {
      EXPECT_TRUE(allZero(info));
      return "<none>";
    }
    return Topology::serialOf(info);
  }
};

TEST_F(Queries, NothingBeforeTheFirstScan) {
  EXPECT_EQ(next(), "<none>");
  std::memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 0), 0);
  EXPECT_TRUE(allZero(info));
  std::memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(t.queries.getDeviceInfoSerial(&info, u""), 0);
  EXPECT_TRUE(allZero(info));
  EXPECT_EQ(t.world->counts().ioControls, 0u);  // lookups do no I/O
}

TEST_F(Queries, CursorRunsThroughTheEntriesAndStops) {
  ASSERT_EQ(t.queries.getDeviceInfo(&info), 1);
  EXPECT_EQ(Topology::serialOf(info), "A");
  EXPECT_EQ(next(), "B");
  EXPECT_EQ(next(), "C");
  EXPECT_EQ(next(), "<none>");
  EXPECT_EQ(next(), "<none>");
  ASSERT_EQ(t.queries.getDeviceInfo(&info), 1);  // a new scan starts over
  EXPECT_EQ(next(), "B");
}

TEST_F(Queries, IndexAndSerialLookupsLeaveTheCursor) {
  ASSERT_EQ(t.queries.getDeviceInfo(&info), 1);
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 2), 1);
  EXPECT_EQ(Topology::serialOf(info), "C");
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 3), 0);
  EXPECT_EQ(t.queries.getDeviceInfoSerial(&info, u"C"), 1);
  EXPECT_EQ(info.idVendor, 3);
  EXPECT_EQ(t.queries.getDeviceInfoSerial(&info, u"c"), 0);
  EXPECT_EQ(t.queries.getDeviceInfoSerial(&info, nullptr), 0);
  EXPECT_EQ(next(), "B");
}

TEST_F(Queries, WatchdogScansNeverDisturbTheProgramsTable) {
  ASSERT_EQ(t.queries.getDeviceInfo(&info), 1);
  EXPECT_EQ(next(), "B");
  // The world changes and the watchdog scans it into its own table.
  ASSERT_EQ(t.commands.setStatus(u"C", 0), 1);
  HubDeviceInfo watchdog{};
  ASSERT_EQ(t.queries.WatchdogScanDeviceInfo(&watchdog), 1);
  ASSERT_EQ(t.queries.WatchdogGetDeviceInfoSerial(&watchdog, u"C"), 1);
  EXPECT_EQ(watchdog.ConnectionStatus, 0u);
  // The program still reads what its own scan found.
  EXPECT_EQ(next(), "C");
  EXPECT_EQ(info.ConnectionStatus, 1u);
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 2), 1);
  EXPECT_EQ(info.status, 1);
}

TEST(QueriesNullRecord, RefusedWithoutIo) {
  Topology t(threeHubs());
  EXPECT_EQ(t.queries.getDeviceInfo(nullptr), 0);
  EXPECT_EQ(t.queries.getNextDeviceInfo(nullptr), 0);
  EXPECT_EQ(t.world->counts().ioControls, 0u);
}

}  // namespace
}  // namespace korvex::topology
