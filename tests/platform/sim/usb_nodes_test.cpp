// The host controller and hub I/O controls at byte level, where the walk's
// own tests see only the outcome: name probes, which request a shared code
// is, the older form's LowSpeed byte, empty and missing ports, short
// replies, and that no reply reaches past the caller's buffer.
#include <gtest/gtest.h>

#include "sim_test_support.h"
#include "usb_test_support.h"

namespace korvex::sim {
namespace {

namespace ci = topology::connection_information;
using test::forPort;
using test::ioctl;
using Bytes = std::vector<std::uint8_t>;

// Root hub "ROOT", 4 ports: a low-speed device, the hub "INNER", an
// unconfigured device with a short connection reply, and one port beyond
// the listed ones.
const std::string kWorld = R"({"hostControllers": [{"number": 0, "driverKey": "KEY7",
  "rootHub": {"name": "ROOT", "numberOfPorts": 4, "ports": [
    {"device": {"vid": 1, "speed": 0, "product": "Mouse"}},
    {"device": {"vid": 2, "hub": {"name": "INNER", "faults": {"nodeInformationShortReply": true}}}},
    {"device": {"vid": 3, "currentConfigurationValue": 0,
                "faults": {"connectionInfoShortReply": true}}}]}}]})";

class UsbNodes : public ::testing::Test {
 protected:
  test::IoReply connection(std::uint32_t port, bool ex = true, std::size_t size = ci::kSize) {
    return ioctl(*p, hub,
                 ex ? topology::kIoctlUsbGetNodeConnectionInformationEx
                    : topology::kIoctlUsbGetNodeConnectionInformation,
                 forPort(port, size));
  }

  std::unique_ptr<SimPlatform> p = SimPlatform::fromJson(kWorld);
  platform::Handle hc = p->openUsbNode(u"\\\\.\\HCD0");
  platform::Handle hub = p->openUsbNode(u"\\\\.\\ROOT");
};

TEST_F(UsbNodes, NameQueriesProbeThenDeliverTheWholeName) {
  struct Case {
    platform::Handle h;
    std::uint32_t code;
    Bytes probe;  // the bare fixed structure
    std::u16string name;
  };
  const Case cases[] = {
      {hc, topology::kIoctlGetHcdDriverkeyName, Bytes(6), u"KEY7"},
      {hc, topology::kIoctlUsbGetRootHubName, Bytes(6), u"ROOT"},
      {hub, topology::kIoctlUsbGetNodeConnectionName, forPort(2, 10), u"INNER"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    const std::size_t nameAt = c.probe.size() - 2;
    const std::size_t needed = nameAt + 2 * (c.name.size() + 1);  // with the NUL
    const auto probe = ioctl(*p, c.h, c.code, c.probe);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.returned, c.probe.size());
    EXPECT_EQ(probe.u32(nameAt - 4), needed);
    EXPECT_EQ(probe.units(nameAt, 1), c.name.substr(0, 1));

    Bytes roomy = c.probe;
    roomy.resize(needed + 2, 0xEE);
    const auto whole = ioctl(*p, c.h, c.code, roomy);
    EXPECT_EQ(whole.returned, needed);
    EXPECT_EQ(whole.units(nameAt, c.name.size() + 1), c.name + u'\0');
    EXPECT_EQ(whole.u8(needed), 0xEE);

    Bytes tooSmall = c.probe;
    tooSmall.pop_back();
    EXPECT_FALSE(ioctl(*p, c.h, c.code, tooSmall).ok);
  }
  for (const std::uint32_t port : {0u, 1u, 4u, 5u}) {  // no hub there, or no such port
    EXPECT_FALSE(ioctl(*p, hub, topology::kIoctlUsbGetNodeConnectionName, forPort(port, 64)).ok);
  }
}

TEST_F(UsbNodes, TheSharedCodeIsAnsweredByWhatTheHandleIs) {
  const std::uint32_t shared = topology::kIoctlUsbGetNodeInformation;
  const auto info = ioctl(*p, hub, shared, Bytes(76));
  EXPECT_EQ(info.returned, 76u);
  EXPECT_EQ(info.u32(0), 0u);   // UsbHub
  EXPECT_EQ(info.u8(5), 0x29);  // the hub descriptor's type
  EXPECT_EQ(info.u8(6), 4);     // bNumberOfPorts as the world declares it
  EXPECT_FALSE(ioctl(*p, hub, shared, Bytes(75)).ok);
  EXPECT_EQ(ioctl(*p, hc, shared, Bytes(64)).units(4, 5), std::u16string(u"ROOT\0", 5));

  // A short reply ends before bNumberOfPorts.
  const platform::Handle inner = p->openUsbNode(u"\\\\.\\INNER");
  EXPECT_EQ(ioctl(*p, inner, shared, Bytes(76)).returned, 6u);

  EXPECT_FALSE(ioctl(*p, hub, topology::kIoctlGetHcdDriverkeyName, Bytes(64)).ok);
  EXPECT_FALSE(
      ioctl(*p, hc, topology::kIoctlUsbGetNodeConnectionInformationEx, forPort(1, 365)).ok);
  EXPECT_FALSE(ioctl(*p, 0x7777, shared, Bytes(76)).ok);
}

TEST_F(UsbNodes, ConnectionInformationBytes) {
  const auto low = connection(1);
  EXPECT_EQ(low.u8(ci::kSpeed), 0);
  EXPECT_EQ(connection(1, false).u8(ci::kSpeed), 1);  // LowSpeed
  EXPECT_EQ(connection(2, false).u8(ci::kSpeed), 0);  // high speed is not low speed
  EXPECT_EQ(low.u32(ci::kNumberOfOpenPipes), 1u);
  EXPECT_EQ(low.returned, ci::kPipeList + ci::kPipeInfoSize);
  EXPECT_NE(low.u16(ci::kDeviceAddress), 0);
  EXPECT_NE(low.u16(ci::kDeviceAddress), connection(2).u16(ci::kDeviceAddress));

  // Short: ConnectionIndex and the device descriptor, nothing after.
  const auto shortReply = connection(3);
  EXPECT_EQ(shortReply.returned, ci::kCurrentConfigurationValue);
  EXPECT_EQ(shortReply.u8(ci::kDeviceDescriptor + 8), 3);

  // Port 4 is counted but not listed: empty. 0 and 5 are no ports.
  const auto empty = connection(4);
  EXPECT_EQ(empty.returned, ci::kPipeList);
  EXPECT_EQ(empty.u32(0), 4u);
  EXPECT_TRUE(
      std::all_of(empty.bytes.begin() + 4, empty.bytes.end(), [](auto b) { return b == 0; }));
  EXPECT_FALSE(connection(0).ok);
  EXPECT_FALSE(connection(5).ok);
  EXPECT_FALSE(connection(1, true, ci::kPipeList + ci::kPipeInfoSize - 1).ok);
}

TEST(UsbNodeBounds, NoReplyReachesPastTheBuffer) {
  // Every request in every buffer size up to beyond its full reply, each
  // buffer a window on a larger block whose tail must survive.
  auto p = SimPlatform::fromJson(kWorld);
  const platform::Handle hc = p->openUsbNode(u"\\\\.\\HCD0");
  const platform::Handle hub = p->openUsbNode(u"\\\\.\\ROOT");
  struct Request {
    platform::Handle h;
    std::uint32_t code;
    std::uint16_t wValue;
  };
  const Request requests[] = {
      {hc, topology::kIoctlGetHcdDriverkeyName, 0},
      {hc, topology::kIoctlUsbGetRootHubName, 0},
      {hub, topology::kIoctlUsbGetNodeInformation, 0},
      {hub, topology::kIoctlUsbGetNodeConnectionInformationEx, 0},
      {hub, topology::kIoctlUsbGetNodeConnectionInformation, 0},
      {hub, topology::kIoctlUsbGetNodeConnectionName, 0},
      {hub, topology::kIoctlUsbGetDescriptorFromNodeConnection, 0x0100},
      {hub, topology::kIoctlUsbGetDescriptorFromNodeConnection, 0x0200},
      {hub, topology::kIoctlUsbGetDescriptorFromNodeConnection, 0x0300},
      {hub, topology::kIoctlUsbGetDescriptorFromNodeConnection, 0x0302},
  };
  for (const Request& r : requests) {
    for (std::size_t size = 0; size <= 400; ++size) {
      SCOPED_TRACE(::testing::Message()
                   << std::hex << r.code << " " << r.wValue << std::dec << " size " << size);
      // Port 2 holds the hub whose name is asked; port 1 the device. wLength
      // asks for everything.
      const std::uint8_t port = r.code == topology::kIoctlUsbGetNodeConnectionName ? 2 : 1;
      Bytes block = test::descriptorRequest(port, r.wValue, 0, 0xFFFF, 12);
      block.resize(size + 16, 0xA5);
      std::fill_n(block.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(size, 12)),
                  12 - std::min<std::size_t>(size, 12), std::uint8_t{0xA5});
      std::uint32_t returned = 0xDEAD;
      const bool ok = p->ioControl(r.h, r.code, std::span(block).first(size), returned);
      EXPECT_LE(returned, ok ? size : 0);
      EXPECT_TRUE(std::all_of(block.begin() + static_cast<std::ptrdiff_t>(size), block.end(),
                              [](auto b) { return b == 0xA5; }));
    }
  }
  EXPECT_EQ(p->counts().ioControls, std::size(requests) * 401);
}

TEST(UsbNodeWorld, GoneHubsAndUnreadableInterfacePaths) {
  auto p = SimPlatform::fromJson(test::treeWorld(
      test::controllerHub("C", R"({"device": {"hub": {"name": "BELOW", "ports": [null]}}})")));
  const platform::Handle below = p->openUsbNode(u"\\\\.\\BELOW");
  EXPECT_TRUE(ioctl(*p, below, topology::kIoctlUsbGetNodeInformation, Bytes(76)).ok);
  ASSERT_TRUE(test::exchangeWith(*p, u"C", test::request(0x22, 0)));  // power off
  EXPECT_FALSE(ioctl(*p, below, topology::kIoctlUsbGetNodeInformation, Bytes(76)).ok);
  EXPECT_EQ(p->openUsbNode(u"\\\\.\\BELOW"), platform::kNoHandle);

  auto listed = SimPlatform::fromJson(R"({"hostControllers": [
    {"interfacePath": "A", "faults": {"interfaceDetailFails": true}}, {"interfacePath": "B"}]})");
  std::vector<std::u16string> paths;
  listed->enumerateInterfaces(platform::InterfaceClass::UsbHostController, [&](auto path) {
    paths.emplace_back(path ? *path : u"-");
    return true;
  });
  EXPECT_EQ(paths, (std::vector<std::u16string>{u"-", u"B"}));
}

}  // namespace
}  // namespace korvex::sim
