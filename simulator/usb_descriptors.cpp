#include "simulator/usb_descriptors.h"

#include <algorithm>

#include "korvex/seam/usb_host.h"

namespace korvex::sim {

namespace {

constexpr std::uint8_t kInterfaceDescriptorType = 4;
constexpr std::uint8_t kEndpointDescriptorType = 5;
constexpr std::size_t kInterfaceDescriptorSize = 9;
constexpr std::uint8_t kVendorSpecificClass = 0xFF;
// What a configuration descriptor that comes back short carries: one byte
// less than its 9-byte header.
constexpr std::size_t kShortConfiguration = kConfigurationHeaderSize - 1;
// How much more the full configuration descriptor of a device with a
// lying wTotalLength claims than its header said: one endpoint descriptor.
constexpr std::uint16_t kLyingExtra = kEndpointDescriptorSize;
constexpr std::uint8_t kWrongStringType = kConfigurationDescriptorType;

std::uint8_t lo(std::uint16_t v) {
  return static_cast<std::uint8_t>(v & 0xFF);
}
std::uint8_t hi(std::uint16_t v) {
  return static_cast<std::uint8_t>(v >> 8);
}

// A descriptor of 16-bit units after the 2-byte header (a string or the
// language list), cut to what bLength can describe.
std::vector<std::uint8_t> unitDescriptor(const std::u16string& units) {
  const std::size_t n = std::min(units.size(), kMaxStringUnits);
  std::vector<std::uint8_t> desc{static_cast<std::uint8_t>(2 + 2 * n), kStringDescriptorType};
  for (std::size_t i = 0; i < n; ++i) {
    desc.push_back(lo(units[i]));
    desc.push_back(hi(units[i]));
  }
  return desc;
}

}  // namespace

std::array<std::uint8_t, seam::kDeviceDescriptorSize> deviceDescriptor(const Device& d) {
  return {static_cast<std::uint8_t>(seam::kDeviceDescriptorSize),
          kDeviceDescriptorType,
          lo(0x0200),  // bcdUSB
          hi(0x0200),
          d.deviceClass,
          d.deviceSubClass,
          0,   // bDeviceProtocol
          64,  // bMaxPacketSize0
          lo(d.vendorId),
          hi(d.vendorId),
          lo(d.productId),
          hi(d.productId),
          lo(d.bcdDevice),
          hi(d.bcdDevice),
          0,  // iManufacturer
          d.productIndex,
          d.serialIndex,
          1};  // bNumConfigurations
}

std::array<std::uint8_t, kEndpointDescriptorSize> endpointDescriptor(const Device& d) {
  const std::uint16_t maxPacket = d.speed == 0 ? 8 : 64;
  const std::uint8_t interval = d.speed == 2 ? 4 : 10;  // high speed counts in 2^(n-1) microframes
  return {static_cast<std::uint8_t>(kEndpointDescriptorSize),
          kEndpointDescriptorType,
          0x81,  // endpoint 1 IN
          0x03,  // interrupt
          lo(maxPacket),
          hi(maxPacket),
          interval};
}

std::vector<std::uint8_t> configurationDescriptor(const Device& d) {
  constexpr std::uint16_t total =
      kConfigurationHeaderSize + kInterfaceDescriptorSize + kEndpointDescriptorSize;
  // The interface carries the class when the device leaves it to its
  // interfaces (class 0).
  const std::uint8_t cls = d.deviceClass != 0 ? d.deviceClass : kVendorSpecificClass;
  const std::uint8_t configurationValue =
      d.currentConfigurationValue != 0 ? d.currentConfigurationValue : 1;
  const auto endpoint = endpointDescriptor(d);
  return {static_cast<std::uint8_t>(kConfigurationHeaderSize),
          kConfigurationDescriptorType,
          lo(total),
          hi(total),
          1,  // bNumInterfaces
          configurationValue,
          0,     // iConfiguration
          0x80,  // bmAttributes: bus powered
          50,    // bMaxPower: 100 mA
          static_cast<std::uint8_t>(kInterfaceDescriptorSize),
          kInterfaceDescriptorType,
          0,  // bInterfaceNumber
          0,  // bAlternateSetting
          1,  // bNumEndpoints
          cls,
          d.deviceSubClass,
          0,  // bInterfaceProtocol
          0,  // iInterface
          endpoint[0],
          endpoint[1],
          endpoint[2],
          endpoint[3],
          endpoint[4],
          endpoint[5],
          endpoint[6]};
}

std::vector<std::uint8_t> languageListDescriptor(const Device& d) {
  return unitDescriptor(std::u16string(d.languages.begin(), d.languages.end()));
}

std::optional<std::vector<std::uint8_t>> stringDescriptor(const Device& d, std::uint8_t index) {
  if (index == 0) return std::nullopt;
  if (index == d.serialIndex) return unitDescriptor(d.serial);
  if (index == d.productIndex) return unitDescriptor(d.product);
  return std::nullopt;
}

namespace {

std::uint16_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::optional<std::vector<std::uint8_t>> configuration(const Device& d, std::uint8_t index,
                                                       std::uint16_t length) {
  if (index != 0 || d.faults.configDescriptor == ConfigDescriptorFault::Fails) return std::nullopt;
  std::vector<std::uint8_t> desc = configurationDescriptor(d);
  switch (d.faults.configDescriptor) {
    case ConfigDescriptorFault::Short:
      desc.resize(kShortConfiguration);
      break;
    case ConfigDescriptorFault::LyingTotalLength:
      // Asked for more than the header, the device reports another total.
      if (length > kConfigurationHeaderSize) {
        const auto total = static_cast<std::uint16_t>(get16(desc, 2) + kLyingExtra);
        desc[2] = lo(total);
        desc[3] = hi(total);
      }
      break;
    case ConfigDescriptorFault::None:
    case ConfigDescriptorFault::Fails:
      break;
  }
  return desc;
}

const StringFaultRule* ruleFor(const Device& d, std::uint8_t index, std::uint16_t language) {
  for (const StringFaultRule& rule : d.faults.strings) {
    if (rule.index == index && (!rule.language || *rule.language == language)) return &rule;
  }
  return nullptr;
}

std::optional<std::vector<std::uint8_t>> string(const Device& d, std::uint8_t index,
                                                std::uint16_t language) {
  std::optional<std::vector<std::uint8_t>> desc;
  if (index == 0) {
    if (d.faults.languageListFails) return std::nullopt;
    desc = languageListDescriptor(d);
  } else {
    // A string exists only in the languages the device lists.
    if (std::find(d.languages.begin(), d.languages.end(), language) == d.languages.end()) {
      return std::nullopt;
    }
    desc = stringDescriptor(d, index);
    if (!desc) return std::nullopt;
  }
  const StringFaultRule* rule = ruleFor(d, index, language);
  if (rule == nullptr) return desc;
  switch (rule->fault) {
    case StringFault::Fails:
      return std::nullopt;
    case StringFault::ShortReply:
      desc->resize(1);  // bLength alone
      break;
    case StringFault::Length2:
      desc->resize(2);
      (*desc)[0] = 2;
      break;
    case StringFault::OddLength:
      // A stray byte after the text, counted in bLength. At most 126 units
      // keep this within 255.
      desc->push_back(0);
      (*desc)[0] = static_cast<std::uint8_t>(desc->size());
      break;
    case StringFault::WrongType:
      (*desc)[1] = kWrongStringType;
      break;
  }
  return desc;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> descriptorAnswer(const Device& d, std::uint8_t type,
                                                          std::uint8_t index,
                                                          std::uint16_t language,
                                                          std::uint16_t length) {
  if (d.connectionStatus != seam::kDeviceConnected || d.faults.descriptorRequestFails) {
    return std::nullopt;
  }
  std::optional<std::vector<std::uint8_t>> desc;
  switch (type) {
    case kDeviceDescriptorType:
      if (index == 0) {
        const auto device = deviceDescriptor(d);
        desc.emplace(device.begin(), device.end());
      }
      break;
    case kConfigurationDescriptorType:
      desc = configuration(d, index, length);
      break;
    case kStringDescriptorType:
      desc = string(d, index, language);
      break;
    default:
      break;  // the device stalls
  }
  if (desc && desc->size() > length) desc->resize(length);
  return desc;
}

}  // namespace korvex::sim
