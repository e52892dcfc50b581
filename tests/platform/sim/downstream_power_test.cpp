// Switching a hub's power through its controller: the downstream port
// empties, and the device comes back as the port's afterPowerOn says.
#include <gtest/gtest.h>

#include <algorithm>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using test::controllerHub;
using test::exchangeWith;
using test::request;
using test::treeWorld;

bool setPower(SimPlatform& p, std::u16string_view serial, bool on) {
  return exchangeWith(p, serial, request(0x22, on ? 1 : 0, on ? 1 : 0)).has_value();
}

bool listed(SimPlatform& p, const std::u16string& path) {
  bool found = false;
  p.enumerateInterfaces(platform::InterfaceClass::Hid, [&](auto candidate) {
    found = found || (candidate && *candidate == path);
    return true;
  });
  return found;
}

std::string downstream(const std::string& afterPowerOn, const std::string& config = "1") {
  return R"({"device": {"vid": "0x1111", "pid": "0x2222", "serial": "DEV",
             "currentConfigurationValue": )" +
         config + R"(}, "afterPowerOn": )" + afterPowerOn + "}";
}

struct Case {
  const char* afterPowerOn;
  const char* config;  // of the device before the power cycle
  std::optional<std::uint16_t> vendorAfter;
  std::uint8_t configAfter;
};

TEST(DownstreamPower, OffEmptiesThePortAndOnFollowsAfterPowerOn) {
  const Case cases[] = {
      {R"("returns")", "1", 0x1111, 1},
      {R"("returns")", "0", 0x1111, 1},  // a hung device comes back configured
      {R"("hangs")", "1", 0x1111, 0},
      {R"("staysAway")", "1", std::nullopt, 0},
      {R"({"becomes": {"vid": "0x3333", "pid": "0x4444", "currentConfigurationValue": 2}})", "1",
       0x3333, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.afterPowerOn) + " from configuration " + c.config);
    auto p = SimPlatform::fromJson(
        treeWorld(controllerHub("0000000A", downstream(c.afterPowerOn, c.config))));

    ASSERT_TRUE(setPower(*p, u"0000000A", false));
    auto port = p->downstreamPort(u"0000000A");
    ASSERT_TRUE(port);
    EXPECT_FALSE(port->device);
    ASSERT_TRUE(port->unpowered);
    EXPECT_EQ(port->unpowered->serial, u"DEV");
    EXPECT_EQ(exchangeWith(*p, u"0000000A", request(0x21)).value()[1], 0);

    ASSERT_TRUE(setPower(*p, u"0000000A", true));
    port = p->downstreamPort(u"0000000A");
    ASSERT_TRUE(port);
    ASSERT_EQ(port->device.has_value(), c.vendorAfter.has_value());
    if (c.vendorAfter) {
      EXPECT_EQ(port->device->vendorId, *c.vendorAfter);
      EXPECT_EQ(port->device->connectionStatus, 1u);
      EXPECT_EQ(port->device->currentConfigurationValue, c.configAfter);
    }
    EXPECT_EQ(exchangeWith(*p, u"0000000A", request(0x21)).value()[1], 1);
  }
}

TEST(DownstreamPower, RepeatedSwitchingChangesNothingMore) {
  auto p = SimPlatform::fromJson(treeWorld(controllerHub("0000000A", downstream(R"("hangs")"))));
  ASSERT_TRUE(setPower(*p, u"0000000A", true));  // already on: the device stays configured
  EXPECT_EQ(p->downstreamPort(u"0000000A")->device->currentConfigurationValue, 1);
  ASSERT_TRUE(setPower(*p, u"0000000A", false));
  ASSERT_TRUE(setPower(*p, u"0000000A", false));
  EXPECT_TRUE(p->downstreamPort(u"0000000A")->unpowered);
  ASSERT_TRUE(setPower(*p, u"0000000A", true));
  EXPECT_EQ(p->downstreamPort(u"0000000A")->device->serial, u"DEV");
}

TEST(DownstreamPower, AnEmptyPortStaysEmpty) {
  auto p = SimPlatform::fromJson(treeWorld(controllerHub("0000000A", "null")));
  ASSERT_TRUE(setPower(*p, u"0000000A", false));
  ASSERT_TRUE(setPower(*p, u"0000000A", true));
  const auto port = p->downstreamPort(u"0000000A");
  ASSERT_TRUE(port);
  EXPECT_FALSE(port->device);
  EXPECT_FALSE(port->unpowered);
}

TEST(DownstreamPower, ANestedHubLosesItsControllerWhileTheUpperHubIsOff) {
  const std::string lower = controllerHub("0000000B", downstream(R"("returns")"));
  auto p = SimPlatform::fromJson(treeWorld(controllerHub("0000000A", lower)));
  const std::u16string lowerPath = test::controllerPath(*p, u"0000000B");
  ASSERT_TRUE(exchangeWith(*p, u"0000000B", request(0x28, 0, 1, {0x5A})));
  const platform::Handle held = p->openHid(lowerPath);
  ASSERT_NE(held, platform::kNoHandle);

  ASSERT_TRUE(setPower(*p, u"0000000A", false));
  EXPECT_FALSE(listed(*p, lowerPath));
  EXPECT_EQ(p->openHid(lowerPath), platform::kNoHandle);
  test::Report report = request(0x21);
  EXPECT_FALSE(p->hidSetFeature(held, report));
  // Its state is kept while it is away.
  EXPECT_EQ(p->controller(u"0000000B")->fram[0], 0x5A);

  ASSERT_TRUE(setPower(*p, u"0000000A", true));
  EXPECT_TRUE(listed(*p, lowerPath));
  EXPECT_TRUE(p->hidSetFeature(held, report));  // the same path answers again
  p->close(held);
  EXPECT_EQ(p->controller(u"0000000B")->fram[0], 0x5A);
}

TEST(DownstreamPower, AStandaloneControllerOnlyKeepsTheFlag) {
  auto p = SimPlatform::fromJson(R"({"otherHidDevices": [{"serial": "S", "controller": {}}]})");
  ASSERT_TRUE(setPower(*p, u"S", false));
  EXPECT_FALSE(p->controller(u"S")->power);
  EXPECT_FALSE(p->downstreamPort(u"S"));
}

}  // namespace
}  // namespace korvex::sim
