// Which hubs a scan records, in which order, and what it reads of them.
#include <gtest/gtest.h>

#include "topology_fixture.h"

namespace korvex::topology {
namespace {

using testing::controllerHub;
using testing::hostController;
using testing::Json;
using testing::plainHub;
using testing::port;
using testing::treeWorld;
using testing::usbDevice;

const Json kMouse = usbDevice(0x046D, 0xC077, "Mouse", "M1");
const Json kEmpty;  // null: an empty port

TEST(ScanOrder, NumberedControllersFirstThenTheInterfaceListDepthFirst) {
  const auto world = treeWorld({
      hostController(std::nullopt, "\\\\?\\pci#listed", {port(controllerHub("LISTED", kMouse))}),
      hostController(3, std::nullopt,
                     {port(plainHub({port(controllerHub("DEEP", kMouse))})),
                      port(controllerHub("SECOND", kMouse))}),
      hostController(1, std::nullopt, {port(controllerHub("FIRST", kMouse))}),
  });
  Topology t(world);
  EXPECT_EQ(t.serials(), (std::vector<std::string>{"FIRST", "DEEP", "SECOND", "LISTED"}));
  EXPECT_EQ(t.world->counts().openHandles(), 0u);
}

TEST(ScanOrder, LowerControllerHubOnPortOneComesFirst) {
  Topology t(treeWorld({hostController(
      0, std::nullopt, {port(controllerHub("UPPER", controllerHub("LOWER", kMouse)))})}));
  EXPECT_EQ(t.serials(), (std::vector<std::string>{"LOWER", "UPPER"}));
}

TEST(ScanOrder, ControllerOnPortOneEndsItsHubsWalk) {
  // The controller sits on port 1; ports 2 and 1 are still read as the
  // controller's and the downstream port, and port 3 is never walked.
  Json hub = plainHub({port(Json{{"serial", "ODD"}, {"controller", Json::object()}}), port(kMouse),
                       port(controllerHub("NEVER", kMouse))});
  Topology t(treeWorld({hostController(0, std::nullopt, {port(hub)})}));
  const auto rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  // Port 2 holds the mouse, so the "controller serial" is the mouse's.
  EXPECT_EQ(Topology::serialOf(rows[0]), "M1");
  EXPECT_EQ(rows[0].idVendor, 0x3A91);  // port 1 is the controller itself
}

TEST(Duplicates, ControllerReachedTwiceGivesOneEntry) {
  Topology t(
      treeWorld({hostController(0, "\\\\?\\pci#both", {port(controllerHub("ONCE", kMouse))})}));
  EXPECT_EQ(t.serials(), std::vector<std::string>{"ONCE"});
}

TEST(Duplicates, RepeatedOrMissingSerialsAreRecordedOnce) {
  Topology t(treeWorld(
      {hostController(0, std::nullopt,
                      {port(controllerHub("SAME", kMouse)), port(controllerHub("SAME", kEmpty)),
                       port(controllerHub("", kMouse)), port(controllerHub("", kEmpty))})}));
  EXPECT_EQ(t.serials(), (std::vector<std::string>{"SAME", ""}));
}

TEST(Entries, FieldsComeFromTheDownstreamDevice) {
  Json keyboard = usbDevice(0x04D9, 0x1503, "Keyboard K", "KB-7");
  keyboard["class"] = 3;
  keyboard["subclass"] = 1;
  keyboard["bcdDevice"] = 0x0212;
  keyboard["speed"] = 1;
  keyboard["currentConfigurationValue"] = 2;
  Topology t(treeWorld({hostController(0, std::nullopt, {port(controllerHub("HUB", keyboard))})}));
  const auto rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  const auto& r = rows[0];
  EXPECT_EQ(r.status, 1);  // power on, read from the controller
  EXPECT_EQ(Topology::serialOf(r), "HUB");
  EXPECT_EQ(r.bDeviceClass, 3);
  EXPECT_EQ(r.bDeviceSubClass, 1);
  EXPECT_EQ(r.idVendor, 0x04D9);
  EXPECT_EQ(r.idProduct, 0x1503);
  EXPECT_EQ(r.bcdDevice, 0x0212);
  EXPECT_EQ(r.CurrentConfigurationValue, 2);
  EXPECT_EQ(r.Speed, 1);
  EXPECT_EQ(Topology::deviceSerialOf(r), "KB-7");
  EXPECT_EQ(Topology::productOf(r), "Keyboard K");
  EXPECT_EQ(r.ConnectionStatus, 1u);
}

TEST(Entries, EmptyDownstreamPortGivesZeroFields) {
  Topology t(treeWorld({hostController(0, std::nullopt, {port(controllerHub("EMPTY", kEmpty))})}));
  const auto rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  HubDeviceInfo expected{};
  expected.status = 1;
  const std::u16string serial = u"EMPTY";
  std::copy(serial.begin(), serial.end(), expected.controllerSerial);
  EXPECT_EQ(std::memcmp(&rows[0], &expected, sizeof expected), 0);
}

TEST(Entries, PowerOffEmptiesThePortAndShowsInTheStatusByte) {
  Topology t(treeWorld({hostController(0, std::nullopt, {port(controllerHub("SW", kMouse))})}));
  ASSERT_EQ(t.commands.setStatus(u"SW", 0), 1);
  auto rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].status, 0);
  EXPECT_EQ(rows[0].ConnectionStatus, 0u);
  EXPECT_EQ(rows[0].idVendor, 0);
  ASSERT_EQ(t.commands.setStatus(u"SW", 1), 1);
  rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].status, 1);
  EXPECT_EQ(rows[0].ConnectionStatus, 1u);
  EXPECT_EQ(rows[0].idVendor, 0x046D);
}

TEST(Entries, SilentControllerLeavesStatusZero) {
  Topology t(treeWorld({hostController(
      0, std::nullopt, {port(controllerHub("MUTE", kMouse, {{"faults", {{"silent", true}}}}))})}));
  const auto rows = t.list();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].status, 0);
  EXPECT_EQ(rows[0].idVendor, 0x046D);
}

TEST(Capacity, HubsBeyondThirtyTwoAreNotRecorded) {
  std::vector<Json> ports;
  for (int i = 0; i < 40; ++i)
    ports.push_back(port(controllerHub("H" + std::to_string(i), kMouse)));
  Topology t(treeWorld({hostController(0, std::nullopt, ports)}));
  const auto serials = t.serials();
  ASSERT_EQ(serials.size(), 32u);
  EXPECT_EQ(serials.front(), "H0");
  EXPECT_EQ(serials.back(), "H31");
  HubDeviceInfo info{};
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 31), 1);
  EXPECT_EQ(t.queries.getDeviceInfoIndex(&info, 32), 0);
  EXPECT_EQ(t.world->counts().openHandles(), 0u);
}

TEST(NoHubs, EmptyMachineAndUnopenableControllers) {
  for (const auto& world :
       {treeWorld({}), treeWorld({hostController(0, std::nullopt, {port(kMouse)})}),
        Json{{"hostControllers",
              {{{"number", 0},
                {"faults", {{"openFails", true}}},
                {"rootHub", {{"ports", {port(controllerHub("X", kMouse))}}}}}}}}
            .dump()}) {
    Topology t(world);
    HubDeviceInfo info;
    std::memset(&info, 0xAB, sizeof info);
    EXPECT_EQ(t.queries.getDeviceInfo(&info), 0);
    EXPECT_TRUE(allZero(info));
  }
}

}  // namespace
}  // namespace korvex::topology
