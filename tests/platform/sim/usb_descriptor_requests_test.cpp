// Descriptor requests at byte level: the configuration descriptor's two
// steps, strings cut at wLength, at the buffer and at bLength's limit, and
// the exact shape of the spoiled string replies.
#include <gtest/gtest.h>

#include "usb_test_support.h"

namespace korvex::sim {
namespace {

std::string world() {
  std::string languages = "1033";
  for (int i = 1; i < 130; ++i) languages += "," + std::to_string(1033 + i);
  return R"({"hostControllers": [{"number": 0, "rootHub": {"name": "ROOT", "ports": [
    {"device": {"product": "Widget", "languages": [1033, 1031],
      "faults": {"strings": [{"index": 2, "language": 1031, "fault": "oddLength"}]}}},
    {"device": {"product": ")" +
         std::string(200, 'x') + R"(", "languages": [)" + languages + R"(],
      "faults": {"strings": [{"index": 2, "language": 1034, "fault": "shortReply"},
                             {"index": 2, "language": 1035, "fault": "length2"}]}}},
    {"device": {"product": "P", "connectionStatus": 2}}]}}]})";
}

class DescriptorRequests : public ::testing::Test {
 protected:
  test::IoReply ask(std::uint32_t port, std::uint16_t wValue, std::uint16_t wIndex,
                    std::uint16_t wLength, std::size_t size = 0) {
    if (size == 0) size = 12u + wLength;
    return test::ioctl(*p, hub, topology::kIoctlUsbGetDescriptorFromNodeConnection,
                       test::descriptorRequest(port, wValue, wIndex, wLength, size));
  }
  test::IoReply product(std::uint32_t port, std::uint16_t language, std::uint16_t wLength = 255) {
    return ask(port, 0x0302, language, wLength, 267);
  }

  std::unique_ptr<SimPlatform> p = SimPlatform::fromJson(world());
  platform::Handle hub = p->openUsbNode(u"\\\\.\\ROOT");
};

TEST_F(DescriptorRequests, ConfigurationHeaderThenWholeDescriptor) {
  auto r = ask(1, 0x0200, 0, 9);
  EXPECT_EQ(r.returned, 21u);
  EXPECT_EQ(r.u8(13), 2);
  const std::uint16_t total = r.u16(14);
  EXPECT_EQ(total, 25);
  r = ask(1, 0x0200, 0, total);
  EXPECT_EQ(r.returned, 12u + total);
  EXPECT_EQ(r.u8(12 + 9 + 1), 4);                           // the interface
  EXPECT_EQ(r.u8(12 + 18 + 1), 5);                          // its endpoint
  EXPECT_EQ(ask(1, 0x0200, 0, 100).returned, 12u + total);  // no more than there is
  EXPECT_EQ(ask(1, 0x0200, 0, total, 17).returned, 17u);    // no more than fits
  EXPECT_FALSE(ask(1, 0x0201, 0, 9).ok);                    // one configuration only
  EXPECT_FALSE(ask(3, 0x0200, 0, 9).ok);                    // not DeviceConnected
}

TEST_F(DescriptorRequests, StringsAreCutAtWLengthAndAtBLengthsLimit) {
  auto r = product(1, 0x0409, 4);
  EXPECT_EQ(r.returned, 16u);
  EXPECT_EQ(r.u8(12), 14);  // bLength still tells the whole string
  EXPECT_EQ(r.units(14, 1), u"W");
  EXPECT_EQ(r.u8(16), 0);
  EXPECT_FALSE(product(1, 0x0411).ok);  // a language the device does not list

  r = product(2, 0x0409);  // 200 units: 126 fit in a descriptor
  EXPECT_EQ(r.u8(12), 254);
  EXPECT_EQ(r.returned, 12u + 254);
  EXPECT_EQ(ask(2, 0x0300, 0, 255).u8(12), 254);  // likewise 130 languages
}

TEST_F(DescriptorRequests, SpoiledStringsHaveTheirExactShape) {
  auto r = product(1, 0x0407);  // oddLength: a stray byte, counted and returned
  EXPECT_EQ(r.u8(12), 15);
  EXPECT_EQ(r.returned, 12u + 15);
  r = product(2, 1034);  // shortReply: bLength alone
  EXPECT_EQ(r.returned, 13u);
  r = product(2, 1035);  // length2
  EXPECT_EQ(r.returned, 14u);
  EXPECT_EQ(r.u8(12), 2);
  EXPECT_EQ(r.u8(13), 3);
}

}  // namespace
}  // namespace korvex::sim
