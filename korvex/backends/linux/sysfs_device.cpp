#include "korvex/backends/linux/sysfs_device.h"

#include <algorithm>

#include "korvex/backends/linux/sysfs_text.h"
#include "korvex/common/utf16.h"

namespace korvex::linux_usb {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kHubClass = 9;
constexpr std::size_t kIManufacturer = 14;
constexpr std::size_t kLongestStringDescriptor = 255;

std::uint16_t readU16(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

Bytes cut(Bytes bytes, std::uint16_t length) {
  if (bytes.size() > length) bytes.resize(length);
  return bytes;
}

// The configurations follow the device descriptor, each wTotalLength long.
std::optional<Bytes> configuration(const Bytes& descriptors, std::uint8_t index) {
  std::size_t at = seam::kDeviceDescriptorSize;
  for (unsigned n = 0;; ++n) {
    if (descriptors.size() < at + seam::kConfigurationHeaderSize ||
        descriptors[at + 1] != seam::kConfigurationDescriptorType) {
      return std::nullopt;
    }
    const std::size_t total = readU16(descriptors, at + 2);
    if (total < seam::kConfigurationHeaderSize) return std::nullopt;
    if (n == index) {
      // A file cut short gives what it holds; the caller sees the shortfall.
      const std::size_t end = std::min(descriptors.size(), at + total);
      return Bytes(descriptors.begin() + static_cast<std::ptrdiff_t>(at),
                   descriptors.begin() + static_cast<std::ptrdiff_t>(end));
    }
    at += total;
  }
}

// A string descriptor of the text, cut to the longest one a device can send.
Bytes stringDescriptor(std::string_view utf8) {
  const std::u16string text = fromUtf8(attributeText(utf8));
  const std::size_t units = std::min(text.size(), (kLongestStringDescriptor - 2) / 2);
  Bytes d{static_cast<std::uint8_t>(2 + units * 2), seam::kStringDescriptorType};
  for (std::size_t i = 0; i < units; ++i) {
    d.push_back(static_cast<std::uint8_t>(text[i] & 0xFF));
    d.push_back(static_cast<std::uint8_t>(text[i] >> 8));
  }
  return d;
}

std::optional<Bytes> stringReply(const SysfsDeviceFiles& device, std::uint8_t index,
                                 std::uint16_t language) {
  if (index == 0) {
    return Bytes{4, seam::kStringDescriptorType, kUsEnglish & 0xFF, kUsEnglish >> 8};
  }
  const auto descriptor = device.descriptors ? deviceDescriptor(*device.descriptors) : std::nullopt;
  if (!descriptor || language != kUsEnglish) return std::nullopt;
  namespace dd = seam::device_descriptor;
  const std::pair<std::size_t, const std::optional<std::string>*> strings[] = {
      {dd::kISerialNumber, &device.serial},
      {dd::kIProduct, &device.product},
      {kIManufacturer, &device.manufacturer}};
  for (const auto& [offset, text] : strings) {
    if ((*descriptor)[offset] == index && *text) return stringDescriptor(**text);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::array<std::uint8_t, seam::kDeviceDescriptorSize>> deviceDescriptor(
    const Bytes& descriptors) {
  if (descriptors.size() < seam::kDeviceDescriptorSize ||
      descriptors[0] != seam::kDeviceDescriptorSize ||
      descriptors[1] != seam::kDeviceDescriptorType) {
    return std::nullopt;
  }
  std::array<std::uint8_t, seam::kDeviceDescriptorSize> d{};
  std::copy_n(descriptors.begin(), d.size(), d.begin());
  return d;
}

seam::PortConnection portConnection(const std::optional<SysfsDeviceFiles>& device) {
  seam::PortConnection c;
  if (!device) return c;
  const auto descriptor =
      device->descriptors ? deviceDescriptor(*device->descriptors) : std::nullopt;
  if (!descriptor) {
    c.connectionStatus = 2;  // DeviceFailedEnumeration
    return c;
  }
  c.connectionStatus = seam::kDeviceConnected;
  c.deviceDescriptor = *descriptor;
  // An empty bConfigurationValue is a device with no active configuration.
  const auto configuration = device->bConfigurationValue
                                 ? parseNumber(attributeText(*device->bConfigurationValue), 10, 255)
                                 : std::nullopt;
  c.currentConfigurationValue = static_cast<std::uint8_t>(configuration.value_or(0));
  c.speed = speedCode(device->speed ? attributeText(*device->speed) : std::string_view());
  c.deviceIsHub = (*descriptor)[seam::device_descriptor::kBDeviceClass] == kHubClass;
  return c;
}

std::optional<Bytes> descriptorReply(const SysfsDeviceFiles& device, std::uint8_t type,
                                     std::uint8_t index, std::uint16_t language,
                                     std::uint16_t length) {
  std::optional<Bytes> reply;
  if (type == seam::kStringDescriptorType) {
    reply = stringReply(device, index, language);
  } else if (device.descriptors && type == seam::kDeviceDescriptorType && index == 0) {
    if (const auto d = deviceDescriptor(*device.descriptors)) reply = Bytes(d->begin(), d->end());
  } else if (device.descriptors && type == seam::kConfigurationDescriptorType) {
    reply = configuration(*device.descriptors, index);
  }
  if (!reply) return std::nullopt;
  return cut(std::move(*reply), length);
}

}  // namespace korvex::linux_usb
