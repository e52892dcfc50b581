// The Linux backend's reading of sysfs files, on well-formed and hostile
// contents.
#include <gtest/gtest.h>

#include "korvex/backends/linux/sysfs_device.h"
#include "korvex/backends/linux/sysfs_text.h"

namespace korvex::linux_usb {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A flash disk: device descriptor (iProduct 2, iSerialNumber 3), then one
// configuration of 9 + 9 bytes.
const Bytes kDisk = {0x12, 1, 0,  2, 0, 0, 0, 64,   0x81, 0x07, 0x67, 0x55, 0, 1, 1, 2, 3,  1,
                     9,    2, 18, 0, 1, 1, 0, 0x80, 50,   9,    4,    0,    0, 2, 8, 6, 80, 0};

struct PortCase {
  const char* name;
  std::optional<Bytes> descriptors;
  std::optional<std::string> configuration;
  std::uint32_t status;
  std::uint8_t configurationValue;
  std::uint16_t vendor;
};

class PortFromSysfs : public ::testing::TestWithParam<PortCase> {};

TEST_P(PortFromSysfs, GivesTheHubsViewOfThePort) {
  const PortCase& p = GetParam();
  const auto c =
      portConnection(SysfsDeviceFiles{p.descriptors, p.configuration, "480\n", {}, {}, {}});
  EXPECT_EQ(c.connectionStatus, p.status);
  EXPECT_EQ(c.currentConfigurationValue, p.configurationValue);
  EXPECT_EQ(c.deviceDescriptor[8] | c.deviceDescriptor[9] << 8, p.vendor);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PortFromSysfs,
    ::testing::Values(PortCase{"Configured", kDisk, "1\n", 1, 1, 0x0781},
                      PortCase{"NoActiveConfiguration", kDisk, "\n", 1, 0, 0x0781},
                      PortCase{"ConfigurationGarbage", kDisk, "x1\n", 1, 0, 0x0781},
                      PortCase{"ConfigurationHuge", kDisk, "99999999999\n", 1, 0, 0x0781},
                      PortCase{"DescriptorsShort", Bytes(kDisk.begin(), kDisk.begin() + 17), "1\n",
                               2, 0, 0},
                      PortCase{"DescriptorsNotADevice", Bytes(18, 0xFF), "1\n", 2, 0, 0},
                      PortCase{"DescriptorsMissing", std::nullopt, "1\n", 2, 0, 0}),
    [](const auto& p) { return std::string(p.param.name); });

struct DescriptorCase {
  const char* name;
  Bytes descriptors;
  std::uint8_t type, index;
  std::uint16_t length;
  std::optional<std::size_t> replySize;
};

class DescriptorFromSysfs : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(DescriptorFromSysfs, AnswersWithinTheFile) {
  const DescriptorCase& d = GetParam();
  SysfsDeviceFiles files{d.descriptors, "1\n", "480\n", "0000000A\n", std::string(300, 'p'), {}};
  const auto reply = descriptorReply(files, d.type, d.index, kUsEnglish, d.length);
  ASSERT_EQ(reply.has_value(), d.replySize.has_value());
  if (reply) {
    EXPECT_EQ(reply->size(), *d.replySize);
  }
}

Bytes withTotalLength(std::uint16_t total) {
  Bytes b = kDisk;
  b[20] = static_cast<std::uint8_t>(total);
  b[21] = static_cast<std::uint8_t>(total >> 8);
  return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DescriptorFromSysfs,
    ::testing::Values(
        DescriptorCase{"ConfigurationHeader", kDisk, 2, 0, 9, 9},
        DescriptorCase{"SecondConfigurationMissing", kDisk, 2, 1, 255, std::nullopt},
        DescriptorCase{"TotalLengthPastTheFile", withTotalLength(0xFFFF), 2, 0, 0xFFFF, 18},
        DescriptorCase{"TotalLengthBelowHeader", withTotalLength(3), 2, 0, 255, std::nullopt},
        DescriptorCase{"Serial", kDisk, 3, 3, 255, 2 + 8 * 2},
        DescriptorCase{"LongProductCut", kDisk, 3, 2, 255, 254},
        DescriptorCase{"StringWithoutDeviceDescriptor", Bytes(3, 0), 3, 3, 255, std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HidId, ReadsVendorAndProductOrNothing) {
  const auto ids = parseHidId("0003:00003A91:00000023");
  ASSERT_TRUE(ids);
  EXPECT_EQ(ids->vendorId, 0x3A91);
  EXPECT_EQ(ids->productId, 0x0023);
  for (const char* bad : {"", "0003:3A91", "0003:00013A91:00000023", "0003:xyz:0023", "::"}) {
    EXPECT_FALSE(parseHidId(bad)) << bad;
  }
  EXPECT_EQ(ueventValue("A=1\nHID_UNIQ=\nHID_ID=x", "HID_UNIQ"), "");
  EXPECT_EQ(ueventValue("HID_IDX=1\n", "HID_ID"), std::nullopt);
}

}  // namespace
}  // namespace korvex::linux_usb
