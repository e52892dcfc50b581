// The world file format: loading, errors that point at the bad value, and
// writing the world back without losing state.
#include "korvex/platform/sim/world_json.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "example_world.h"
#include "korvex/platform/sim/sim_platform.h"
#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using test::controllerHub;
using test::treeWorld;

std::string errorOf(const std::string& json) {
  try {
    worldFromJson(json);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

TEST(WorldJson, ExampleWorldLoadsWithEveryKindOfHub) {
  auto p = SimPlatform::fromJson(test::kExampleWorld);
  World w = p->world();
  ASSERT_EQ(w.hostControllers.size(), 2u);

  // Tree order: the nested hub's controller before the one it hangs from.
  std::vector<std::u16string> serials;
  forEachHid(w, [&](const HidSite& s) {
    serials.push_back(*s.serial);
    return true;
  });
  EXPECT_EQ(serials, (std::vector<std::u16string>{u"0000000B", u"0000000A", u"0000000C",
                                                  u"0000000D", u"", u"", u"0000000A"}));

  const auto hanging = p->downstreamPort(u"0000000C");
  ASSERT_TRUE(hanging && hanging->device);
  EXPECT_EQ(hanging->afterPowerOn, AfterPowerOn::Hangs);
  const auto empty = p->downstreamPort(u"0000000D");
  ASSERT_TRUE(empty);
  EXPECT_FALSE(empty->device);

  const auto a = p->controller(u"0000000A");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->usbSerial[7], 0x0A);
  EXPECT_EQ(a->fram[0], 'H');

  // The first host controller opens both by number and by its path.
  const platform::Handle byNumber = p->openUsbNode(u"\\\\.\\HCD0");
  const platform::Handle byPath = p->openUsbNode(*w.hostControllers[0].interfacePath);
  EXPECT_NE(byNumber, platform::kNoHandle);
  EXPECT_NE(byPath, platform::kNoHandle);
  EXPECT_EQ(p->openUsbNode(u"\\\\.\\HCD2"), platform::kNoHandle);
  p->close(byNumber);
  p->close(byPath);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(WorldJson, RoundTripKeepsStateFaultsAndUnpoweredDevices) {
  const std::string downstream =
      R"({"device": {"vid": 4660, "pid": "0x5678", "serial": "S1", "product": "Caméra 日本",
          "currentConfigurationValue": 0, "languages": ["0x0409", 1041],
          "faults": {"connectionInfoExFails": true, "configDescriptor": "lyingTotalLength",
                     "strings": [{"index": 3, "language": "0x0409", "fault": "oddLength"}]}},
         "afterPowerOn": {"becomes": {"vid": "0x9999", "pid": "0x0001"}}})";
  const std::string controller =
      R"({"power": true, "registers": "01 02 03", "fram": "41424344", "usbSerial": "0000000000000009",
          "fault": "0x80", "resetValues": [1, 2], "picWriteSteps": ["0x5B"],
          "faults": {"replyDelayMs": 20, "silentAfterRequests": 7, "statusReply": 3},
          "hid": {"featureReportByteLength": 80, "faults": {"capsFails": true}}})";
  const std::string json = R"({"tickStart": "0xFFFFFF00", "executableFolder": "/opt/k/",
      "localTime": {"year": 2024, "month": 2, "day": 29, "hour": 23, "minute": 59, "second": 58},
      "hostControllers": [{"number": 3, "rootHub": {"ports": [)" +
                           controllerHub("0000000A", downstream, controller) +
                           R"(, null]}, "faults": {"driverKeyHugeLength": true}}],
      "otherHidDevices": [{"vid": 1, "pid": 2, "serial": "X", "faults": {"openFails": true}},
                          {"serial": "Z", "controller": {"power": false}}]})";

  const World w = worldFromJson(json);
  const std::string written = worldToJson(w);
  EXPECT_EQ(worldToJson(worldFromJson(written)), written);

  World back = worldFromJson(written);
  const Port& port = back.hostControllers[0].rootHub.ports[0].device->hub->ports[0];
  ASSERT_TRUE(port.device);
  EXPECT_EQ(port.device->vendorId, 0x1234);
  EXPECT_EQ(port.device->product, u"Caméra 日本");
  EXPECT_EQ(port.device->languages, (std::vector<std::uint16_t>{0x0409, 0x0411}));
  EXPECT_EQ(port.device->faults.configDescriptor, ConfigDescriptorFault::LyingTotalLength);
  ASSERT_EQ(port.device->faults.strings.size(), 1u);
  EXPECT_EQ(port.device->faults.strings[0].fault, StringFault::OddLength);
  ASSERT_TRUE(port.becomes);
  EXPECT_EQ(port.becomes->vendorId, 0x9999);
  EXPECT_EQ(back.localTime->dayOfWeek, 4);  // 29 February 2024 was a Thursday
  EXPECT_EQ(*back.tickStart, 0xFFFFFF00u);
  EXPECT_TRUE(back.hostControllers[0].faults.driverKeyHugeLength);

  const auto site = findController(back, u"0000000A");
  ASSERT_TRUE(site);
  const ControllerState& s = site->firmware->state;
  EXPECT_EQ(s.registers[2], 3);
  EXPECT_EQ(s.fram[3], 'D');
  EXPECT_EQ(s.fault, 0x80);
  EXPECT_EQ(s.resetValues, (std::vector<std::uint8_t>{1, 2}));
  EXPECT_EQ(s.picWriteSteps, (std::vector<std::uint8_t>{0x5B}));
  EXPECT_EQ(site->firmware->faults.replyDelayMs, 20u);
  EXPECT_EQ(*site->firmware->faults.silentAfterRequests, 7u);
  EXPECT_EQ(*site->firmware->faults.statusReply, 3);
  EXPECT_EQ(site->hid->featureReportByteLength, 80);
  EXPECT_TRUE(site->hid->faults.capsFails);

  // A hub switched off keeps its device as unpowered through a round trip.
  auto p = SimPlatform::fromJson(treeWorld(controllerHub("0000000A", downstream)));
  ASSERT_TRUE(test::exchangeWith(*p, u"0000000A", test::request(0x22, 0, 0)));
  auto again = SimPlatform::fromJson(p->toJson());
  const auto off = again->downstreamPort(u"0000000A");
  ASSERT_TRUE(off);
  EXPECT_FALSE(off->device);
  ASSERT_TRUE(off->unpowered);
  EXPECT_EQ(off->unpowered->serial, u"S1");
  EXPECT_FALSE(again->controller(u"0000000A")->power);
}

TEST(WorldJson, FillsIdentityIndicesAndUniquePaths) {
  const World w = worldFromJson(treeWorld(controllerHub("A", R"({"device": {"serial": "D"}})") +
                                          ", " + controllerHub("B", "null")));
  const Hub& first = *w.hostControllers[0].rootHub.ports[0].device->hub;
  const Device& controller = *first.ports[1].device;
  EXPECT_EQ(controller.vendorId, kControllerVendorId);
  EXPECT_EQ(controller.productId, kControllerProductId);
  EXPECT_EQ(controller.serialIndex, 3);
  EXPECT_EQ(controller.productIndex, 0);
  EXPECT_EQ(first.ports[0].device->connectionStatus, 1u);
  EXPECT_EQ(first.ports[0].device->currentConfigurationValue, 1);

  auto p = SimPlatform::fromJson(worldToJson(w));
  const auto a = test::controllerPath(*p, u"A");
  const auto b = test::controllerPath(*p, u"B");
  EXPECT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_NE(first.name, w.hostControllers[0].rootHub.ports[1].device->hub->name);
}

TEST(WorldJson, ErrorsNameTheFaultyPlace) {
  EXPECT_NE(errorOf(R"({"hostControllers": [)").find("not valid JSON"), std::string::npos);
  EXPECT_NE(errorOf("[]").find("expected an object"), std::string::npos);

  const std::string badVid = treeWorld(R"({"device": {"vid": "0x1FFFF"}})");
  EXPECT_NE(errorOf(badVid).find("hostControllers[0].rootHub.ports[0].device.vid: 131071 is "
                                 "larger than 65535"),
            std::string::npos)
      << errorOf(badVid);
  EXPECT_NE(errorOf(treeWorld(R"({"device": {"pid": -1}})")).find("device.pid"), std::string::npos);
  EXPECT_NE(errorOf(treeWorld(R"({"device": {"vid": "12ab"}})")).find("device.vid"),
            std::string::npos);
  EXPECT_NE(errorOf(treeWorld(R"({"devise": {}})")).find("ports[0].devise: unknown field"),
            std::string::npos);
  EXPECT_NE(errorOf(treeWorld(R"({"afterPowerOn": "sleeps"})")).find("\"staysAway\""),
            std::string::npos);
  EXPECT_NE(errorOf(R"({"otherHidDevices": [{"controller": {"fram": "4"}}]})")
                .find("otherHidDevices[0].controller.fram"),
            std::string::npos);
  EXPECT_NE(errorOf(R"({"otherHidDevices": [{"controller": {"registers": ")" +
                    std::string(34, '0') + R"("}}]})")
                .find("17 bytes given, at most 16 fit"),
            std::string::npos);
  EXPECT_NE(errorOf(R"({"hostControllers": [{"number": 10}]})").find("hostControllers[0].number"),
            std::string::npos);
  EXPECT_NE(errorOf(R"({"localTime": {"year": 2023, "month": 2, "day": 29}})").find("no such date"),
            std::string::npos);
  // Fields that start with "_" are comments.
  EXPECT_EQ(errorOf(R"({"_note": "anything", "otherHidDevices": []})"), "(no error)");
}

}  // namespace
}  // namespace korvex::sim
