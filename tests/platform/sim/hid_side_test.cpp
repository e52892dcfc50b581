// The HID entries: enumeration, the per-interface faults, the serial
// buffer, the controller's single pending reply and its timing, and the
// call counts.
#include <gtest/gtest.h>

#include <thread>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using test::controllerHub;
using test::exchange;
using test::request;
using test::treeWorld;

std::unique_ptr<SimPlatform> standalone(const std::string& controllerFields,
                                        const std::string& hidFields = "") {
  return SimPlatform::fromJson(R"({"otherHidDevices": [{"serial": "S", )" + hidFields +
                               R"("controller": {)" + controllerFields + "}}]}");
}

platform::Handle openS(SimPlatform& p) {
  return p.openHid(test::controllerPath(p, u"S"));
}

TEST(HidSide, EnumeratesTreeControllersThenOtherDevices) {
  auto p = SimPlatform::fromJson(R"({"hostControllers": [{"rootHub": {"ports": [)" +
                                 controllerHub("T", "null") +
                                 R"(]}}], "otherHidDevices": [{"vid": 1, "path": "P1"},
          {"vid": 2, "path": "P2", "faults": {"detailFails": true}}, {"vid": 3, "path": "P3"}]})");
  std::vector<std::u16string> seen;
  EXPECT_TRUE(p->enumerateInterfaces(platform::InterfaceClass::Hid, [&](auto path) {
    seen.emplace_back(path ? *path : u"-");
    return seen.size() < 3;  // stop after the third
  }));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], test::controllerPath(*p, u"T"));
  EXPECT_EQ(seen[1], u"P1");
  EXPECT_EQ(seen[2], u"-");
  EXPECT_EQ(p->counts().interfacesVisited, 3u);

  auto failing = SimPlatform::fromJson(R"({"hidListFails": true})");
  EXPECT_FALSE(failing->enumerateInterfaces(platform::InterfaceClass::Hid, [](auto) {
    ADD_FAILURE() << "visited a list that could not be obtained";
    return true;
  }));
  EXPECT_EQ(failing->counts().interfaceLists, 0u);
}

TEST(HidSide, SerialFillsTheBufferLikeARealDevice) {
  const std::string s31(31, 'a');
  const std::string s32(32, 'b');
  const std::string s40(40, 'c');
  auto p = SimPlatform::fromJson(R"({"otherHidDevices": [{"serial": ")" + s31 +
                                 R"(", "path": "A"}, {"serial": ")" + s32 +
                                 R"(", "path": "B"}, {"serial": ")" + s40 +
                                 R"(", "path": "C"}, {"serial": "x", "path": "D",
                                 "faults": {"serialFails": true}}]})");
  const auto read = [&](const char16_t* path, std::array<char16_t, 32>& buffer) {
    buffer.fill(u'#');
    const platform::Handle h = p->openHid(path);
    const bool ok = p->hidSerialNumber(h, buffer);
    p->close(h);
    return ok;
  };
  std::array<char16_t, 32> buffer{};
  ASSERT_TRUE(read(u"A", buffer));
  EXPECT_EQ(buffer[30], u'a');
  EXPECT_EQ(buffer[31], u'\0');
  ASSERT_TRUE(read(u"B", buffer));
  EXPECT_EQ(std::u16string(buffer.begin(), buffer.end()), std::u16string(32, u'b'));
  ASSERT_TRUE(read(u"C", buffer));
  EXPECT_EQ(std::u16string(buffer.begin(), buffer.end()), std::u16string(32, u'c'));
  EXPECT_FALSE(read(u"D", buffer));
  EXPECT_EQ(buffer[0], u'#');
}

TEST(HidSide, InterfaceFaultsAndDeclaredLengths) {
  auto p = SimPlatform::fromJson(R"({"otherHidDevices": [
      {"vid": "0x3A91", "pid": "0x0023", "versionNumber": "0x0205", "path": "OK"},
      {"path": "NOOPEN", "faults": {"openFails": true}},
      {"path": "NOATTR", "faults": {"attributesFails": true, "capsFails": true}},
      {"path": "SHORT", "featureReportByteLength": 9, "controller": {}}]})");
  EXPECT_EQ(p->openHid(u"NOOPEN"), platform::kNoHandle);
  EXPECT_EQ(p->openHid(u"MISSING"), platform::kNoHandle);

  const platform::Handle ok = p->openHid(u"OK");
  const auto attributes = p->hidAttributes(ok);
  ASSERT_TRUE(attributes);
  EXPECT_EQ(attributes->vendorId, 0x3A91);
  EXPECT_EQ(attributes->versionNumber, 0x0205);
  EXPECT_EQ(p->hidCaps(ok)->featureReportByteLength, 65);

  const platform::Handle bad = p->openHid(u"NOATTR");
  EXPECT_FALSE(p->hidAttributes(bad));
  EXPECT_FALSE(p->hidCaps(bad));

  // A device declaring 9 bytes sees only the first 9 of a longer report.
  const platform::Handle shortDevice = p->openHid(u"SHORT");
  EXPECT_EQ(p->hidCaps(shortDevice)->featureReportByteLength, 9);
  std::array<std::uint8_t, 8> tooShort{};
  EXPECT_FALSE(p->hidSetFeature(shortDevice, tooShort));
  test::Report write = request(0x28, 0, 32);
  write.fill(0x66);
  write[0] = 0;
  write[1] = 0x28;
  write[2] = 0;
  write[3] = 32;
  EXPECT_TRUE(p->hidSetFeature(shortDevice, write));
  const World w = p->world();
  EXPECT_EQ(w.otherHidDevices[3].firmware->state.fram[0], 0);  // data at byte 9 was cut off
  EXPECT_EQ(p->requestsTo(u"")[0].bytes[9], 0);

  for (const platform::Handle h : {ok, bad, shortDevice}) p->close(h);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(HidSide, OnePendingReplyForTheLastRequestReadOnce) {
  auto p = standalone(R"("fault": 7)");
  const platform::Handle first = openS(*p);
  const platform::Handle second = openS(*p);
  test::Report reply{};
  EXPECT_FALSE(p->hidGetFeature(first, reply));  // nothing asked yet

  test::Report fault = request(0x24);
  test::Report status = request(0x21);
  ASSERT_TRUE(p->hidSetFeature(first, fault));
  ASSERT_TRUE(p->hidSetFeature(second, status));
  // The first handle reads the reply to the second handle's request.
  reply.fill(0xEE);
  reply[0] = 0;
  ASSERT_TRUE(p->hidGetFeature(first, reply));
  EXPECT_EQ(reply[1], 1);
  EXPECT_EQ(reply[64], 0);
  EXPECT_FALSE(p->hidGetFeature(second, reply));

  ASSERT_TRUE(p->hidSetFeature(first, fault));
  reply[0] = 1;  // a report ID the device does not use
  EXPECT_FALSE(p->hidGetFeature(first, reply));
  std::array<std::uint8_t, 64> shortReply{};
  EXPECT_FALSE(p->hidGetFeature(first, shortReply));
  std::array<std::uint8_t, 80> longReply{};
  longReply.fill(0xEE);
  longReply[0] = 0;
  ASSERT_TRUE(p->hidGetFeature(first, longReply));
  EXPECT_EQ(longReply[1], 7);
  EXPECT_EQ(longReply[79], 0);

  test::Report badId = request(0x21);
  badId[0] = 2;
  EXPECT_FALSE(p->hidSetFeature(first, badId));
  p->close(first);
  p->close(second);
}

TEST(HidSide, ReplyDelayCountsOnTheTickClockAcrossTheWrap) {
  auto p = standalone(R"("faults": {"replyDelayMs": 50})");
  p->useVirtualClock(0xFFFFFFF0u, 0);
  const platform::Handle h = openS(*p);
  test::Report req = request(0x21);
  test::Report reply{};
  ASSERT_TRUE(p->hidSetFeature(h, req));
  EXPECT_FALSE(p->hidGetFeature(h, reply));
  p->advance(49);  // now 0x00000021: wrapped, 49 ms after the request
  EXPECT_FALSE(p->hidGetFeature(h, reply));
  p->advance(1);
  EXPECT_TRUE(p->hidGetFeature(h, reply));
  EXPECT_EQ(p->requestsTo(u"S").at(0).tick, 0xFFFFFFF0u);

  // A new request restarts the wait: the old reply is gone.
  ASSERT_TRUE(p->hidSetFeature(h, req));
  p->sleep(30);
  ASSERT_TRUE(p->hidSetFeature(h, req));
  p->sleep(30);
  EXPECT_FALSE(p->hidGetFeature(h, reply));
  p->sleep(20);
  EXPECT_TRUE(p->hidGetFeature(h, reply));
  p->close(h);
}

TEST(HidSide, SilentControllersReceiveButNeitherActNorReply) {
  auto p = standalone(R"("faults": {"silentAfterRequests": 2})");
  const platform::Handle h = openS(*p);
  EXPECT_TRUE(exchange(*p, h, request(0x21)));
  EXPECT_TRUE(exchange(*p, h, request(0x28, 0, 1, {0x41})));
  EXPECT_FALSE(exchange(*p, h, request(0x28, 1, 1, {0x42})));
  EXPECT_FALSE(exchange(*p, h, request(0x21)));
  EXPECT_EQ(p->requestsTo(u"S").size(), 4u);
  EXPECT_EQ(p->controller(u"S")->fram[0], 0x41);
  EXPECT_EQ(p->controller(u"S")->fram[1], 0);
  p->close(h);

  auto silent = standalone(R"("faults": {"silent": true})");
  const platform::Handle hs = openS(*silent);
  EXPECT_FALSE(exchange(*silent, hs, request(0x22, 0, 0)));
  EXPECT_TRUE(silent->controller(u"S")->power);
  EXPECT_EQ(silent->requestsTo(u"S").size(), 1u);
  silent->close(hs);

  auto refusing = standalone(R"("faults": {"setFeatureFails": true})");
  const platform::Handle hr = openS(*refusing);
  test::Report req = request(0x21);
  EXPECT_FALSE(refusing->hidSetFeature(hr, req));
  EXPECT_TRUE(refusing->requestsTo(u"S").empty());
  refusing->close(hr);
}

TEST(HidSide, OtherDevicesTakeRequestsButNeverReply) {
  auto p = SimPlatform::fromJson(R"({"otherHidDevices": [{"vid": 5, "path": "K"}]})");
  const platform::Handle h = p->openHid(u"K");
  EXPECT_FALSE(exchange(*p, h, request(0x21)));
  p->close(h);
}

TEST(HidSide, CountsEveryCallAndOnlyClosesOfOpenHandles) {
  auto p = standalone("");
  p->resetCounts();
  p->enumerateInterfaces(platform::InterfaceClass::Hid, [](auto) { return true; });
  const platform::Handle h = openS(*p);
  std::array<char16_t, 32> serial{};
  p->hidAttributes(h);
  p->hidSerialNumber(h, serial);
  p->hidCaps(h);
  test::Report req = request(0x21);
  test::Report reply{};
  p->hidSetFeature(h, req);
  p->hidGetFeature(h, reply);
  p->hidGetFeature(h, reply);  // fails, still a call
  std::uint32_t returned = 99;
  EXPECT_FALSE(p->ioControl(h, 0x220424, reply, returned));
  EXPECT_EQ(returned, 0u);
  p->close(h);
  p->close(h);
  p->close(platform::kNoHandle);
  p->openHid(u"nothing");

  const CallCounts c = p->counts();
  EXPECT_EQ(c.interfaceLists, 1u);
  EXPECT_EQ(c.interfacesVisited, 1u);
  EXPECT_EQ(c.hidOpens, 1u);
  EXPECT_EQ(c.usbOpens, 0u);
  EXPECT_EQ(c.closes, 1u);
  EXPECT_EQ(c.hidQueries, 3u);
  EXPECT_EQ(c.featureSets, 1u);
  EXPECT_EQ(c.featureGets, 2u);
  EXPECT_EQ(c.ioControls, 1u);
  EXPECT_EQ(c.openHandles(), 0u);
  p->resetCounts();
  EXPECT_EQ(p->counts().featureGets, 0u);
}

TEST(HidSide, ConcurrentCallsOnSeparateControllersStayConsistent) {
  std::string devices;
  for (int i = 0; i < 4; ++i) {
    devices += std::string(i ? "," : "") + R"({"serial": "C)" + std::to_string(i) +
               R"(", "controller": {}})";
  }
  auto p = SimPlatform::fromJson(R"({"otherHidDevices": [)" + devices + "]}");
  std::vector<std::thread> threads;
  std::array<int, 4> good{};
  for (int i = 0; i < 4; ++i) {
    threads.emplace_back([&, i] {
      const std::u16string serial = u"C" + std::u16string(1, static_cast<char16_t>(u'0' + i));
      const platform::Handle h = p->openHid(test::controllerPath(*p, serial));
      for (int n = 0; n < 200; ++n) {
        const auto value = static_cast<std::uint8_t>(n);
        const auto reply = exchange(*p, h, request(0x28, 7, 1, {value}));
        if (reply && p->controller(serial)->fram[7] == value) ++good[static_cast<std::size_t>(i)];
      }
      p->close(h);
    });
  }
  for (auto& t : threads) t.join();
  for (const int g : good) EXPECT_EQ(g, 200);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

}  // namespace
}  // namespace korvex::sim
