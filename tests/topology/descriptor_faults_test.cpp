// What the walk accepts from hubs and devices that answer badly: each fault
// costs exactly its own item.
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

Json deviceWith(const Json& faults, std::vector<int> languages = {0x0409}) {
  Json d = usbDevice(0x1234, 0x5678, "Widget", "W-1");
  d["faults"] = faults;
  d["languages"] = languages;
  return d;
}

HubDeviceInfo onlyEntry(const Json& downstream) {
  Topology t(treeWorld({hostController(0, std::nullopt, {port(controllerHub("C", downstream))})}));
  const auto rows = t.list();
  EXPECT_EQ(rows.size(), 1u);
  EXPECT_EQ(t.world->counts().openHandles(), 0u);
  return rows.empty() ? HubDeviceInfo{} : rows[0];
}

TEST(StringDescriptors, LengthTwoIsAnEmptyString) {
  const auto e = onlyEntry(deviceWith({{"strings", {{{"index", 2}, {"fault", "length2"}}}}}));
  EXPECT_EQ(Topology::productOf(e), "");
  EXPECT_EQ(Topology::deviceSerialOf(e), "W-1");
}

TEST(StringDescriptors, RefusedRepliesFallThroughToTheNextLanguage) {
  for (const char* fault : {"oddLength", "wrongType", "fails", "shortReply"}) {
    SCOPED_TRACE(fault);
    const Json faults{{"strings", {{{"index", 2}, {"language", 0x0409}, {"fault", fault}}}}};
    // Only English is refused; German answers.
    auto e = onlyEntry(deviceWith(faults, {0x0409, 0x0407}));
    EXPECT_EQ(Topology::productOf(e), "Widget");
    // With English alone the field stays empty; the other string is read.
    e = onlyEntry(deviceWith(faults, {0x0409}));
    EXPECT_EQ(Topology::productOf(e), "");
    EXPECT_EQ(Topology::deviceSerialOf(e), "W-1");
  }
}

TEST(StringDescriptors, NoLanguageListMeansNoStrings) {
  for (const auto& d : {deviceWith({{"languageListFails", true}}), deviceWith({}, {})}) {
    const auto e = onlyEntry(d);
    EXPECT_EQ(Topology::productOf(e), "");
    EXPECT_EQ(Topology::deviceSerialOf(e), "");
    EXPECT_EQ(e.idVendor, 0x1234);
  }
}

TEST(ConfigurationDescriptor, AnUnacceptableOneCostsOnlyTheStrings) {
  for (const char* fault : {"short", "lyingTotalLength", "fails"}) {
    SCOPED_TRACE(fault);
    const auto e = onlyEntry(deviceWith({{"configDescriptor", fault}}));
    EXPECT_EQ(Topology::productOf(e), "");
    EXPECT_EQ(Topology::deviceSerialOf(e), "");
    EXPECT_EQ(e.idVendor, 0x1234);
    EXPECT_EQ(e.idProduct, 0x5678);
    EXPECT_EQ(e.CurrentConfigurationValue, 1);
    EXPECT_EQ(e.ConnectionStatus, 1u);
  }
}

TEST(ConnectionQuery, OlderFormMapsLowSpeed) {
  for (const int speed : {0, 1, 2}) {
    Json d = deviceWith({{"connectionInfoExFails", true}});
    d["speed"] = speed;
    const auto e = onlyEntry(d);
    EXPECT_EQ(e.Speed, speed == 0 ? 0 : 1) << "speed " << speed;
    EXPECT_EQ(e.idVendor, 0x1234);
  }
}

TEST(ConnectionQuery, UnconfiguredAndFailedDevicesKeepTheirStatus) {
  Json hung = usbDevice(0x1111, 0x2222, "Hung");
  hung["currentConfigurationValue"] = 0;
  auto e = onlyEntry(hung);
  EXPECT_EQ(e.ConnectionStatus, 1u);
  EXPECT_EQ(e.CurrentConfigurationValue, 0);
  EXPECT_EQ(Topology::productOf(e), "Hung");

  Json failed = usbDevice(0x1111, 0x2222, "Failed");
  failed["connectionStatus"] = 2;
  e = onlyEntry(failed);
  EXPECT_EQ(e.ConnectionStatus, 2u);
  EXPECT_EQ(Topology::productOf(e), "");  // strings only from connected devices
}

TEST(Skipping, AFailingItemDoesNotStopTheWalk) {
  const Json good = port(controllerHub("GOOD", usbDevice(1, 2)));
  const auto withHub = [&](const Json& hubFaults) {
    Json bad = plainHub({port(controllerHub("HIDDEN", usbDevice(1, 2)))});
    bad["hub"]["faults"] = hubFaults;
    return bad;
  };
  Json unnamed = plainHub({port(controllerHub("HIDDEN", usbDevice(1, 2)))});
  unnamed["faults"] = {{"connectionNameFails", true}};
  Json hugeName = plainHub({port(controllerHub("HIDDEN", usbDevice(1, 2)))});
  hugeName["faults"] = {{"connectionNameHugeLength", true}};
  Json noInfo = usbDevice(3, 4);
  noInfo["faults"] = {{"connectionInfoFails", true}};
  Json shortInfo = plainHub({port(controllerHub("HIDDEN", usbDevice(1, 2)))});
  shortInfo["faults"] = {{"connectionInfoShortReply", true}};

  for (const Json& bad :
       {withHub({{"openFails", true}}), withHub({{"nodeInformationFails", true}}),
        withHub({{"nodeInformationShortReply", true}}), unnamed, hugeName, noInfo, shortInfo}) {
    Topology t(treeWorld({hostController(0, std::nullopt, {port(bad), good})}));
    EXPECT_EQ(t.serials(), std::vector<std::string>{"GOOD"}) << bad.dump();
    EXPECT_EQ(t.world->counts().openHandles(), 0u);
  }
}

TEST(Skipping, HostControllerFaults) {
  for (const char* fault : {"driverKeyFails", "driverKeyHugeLength", "rootHubNameFails",
                            "rootHubNameHugeLength", "openFails"}) {
    Json bad = hostController(0, std::nullopt, {port(controllerHub("HIDDEN", usbDevice(1, 2)))});
    bad["faults"] = {{fault, true}};
    Topology t(treeWorld(
        {bad, hostController(1, std::nullopt, {port(controllerHub("GOOD", usbDevice(1, 2)))})}));
    EXPECT_EQ(t.serials(), std::vector<std::string>{"GOOD"}) << fault;
  }
}

TEST(Skipping, UnreadablePortsOfAControllerHub) {
  Json hub = controllerHub("X", usbDevice(1, 2));
  hub["hub"]["ports"][1]["device"]["faults"] = {{"connectionInfoFails", true}};
  // The hub is recognised through its port 2 query... which fails, so the
  // controller is never seen: nothing found.
  Topology t(treeWorld({hostController(0, std::nullopt, {port(hub)})}));
  HubDeviceInfo info{};
  EXPECT_EQ(t.queries.getDeviceInfo(&info), 0);

  // A downstream port that cannot be read, or answers with less than the
  // fixed part of the reply: seen, but no entry.
  for (const char* fault : {"connectionInfoFails", "connectionInfoShortReply"}) {
    Json hub2 = controllerHub("Y", usbDevice(1, 2));
    hub2["hub"]["ports"][0]["device"]["faults"] = {{fault, true}};
    Topology t2(treeWorld({hostController(0, std::nullopt, {port(hub2)})}));
    EXPECT_EQ(t2.queries.getDeviceInfo(&info), 1) << fault;
    EXPECT_TRUE(allZero(info));
    EXPECT_EQ(t2.queries.getNextDeviceInfo(&info), 0);
  }
}

}  // namespace
}  // namespace korvex::topology
