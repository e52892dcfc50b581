// GET_DESCRIPTOR through the hub driver: the device, configuration and
// string descriptors of the device on a port, with the device's faults.
//
// The data is what the device sends: at most wLength bytes, and never more
// than the buffer holds after the request header. bLength and wTotalLength
// describe the whole descriptor, also when only its start comes back.
#include <algorithm>
#include <optional>
#include <vector>

#include "korvex/platform/sim/little_endian.h"
#include "korvex/platform/sim/usb_descriptors.h"
#include "korvex/platform/sim/usb_replies.h"
#include "korvex/topology/usb_ioctl.h"

namespace korvex::sim {

namespace {

namespace dr = topology::descriptor_request;

constexpr std::uint8_t kDeviceConnected = 1;
// What a configuration descriptor that comes back short carries: one byte
// less than its 9-byte header.
constexpr std::size_t kShortConfiguration = kConfigurationHeaderSize - 1;
// How much more the full configuration descriptor of a device with a
// lying wTotalLength claims than its header said: one endpoint descriptor.
constexpr std::uint16_t kLyingExtra = kEndpointDescriptorSize;
constexpr std::uint8_t kWrongStringType = kConfigurationDescriptorType;

std::optional<std::vector<std::uint8_t>> configuration(const Device& d, std::uint8_t index,
                                                       std::uint16_t wLength) {
  if (index != 0 || d.faults.configDescriptor == ConfigDescriptorFault::Fails) return std::nullopt;
  std::vector<std::uint8_t> desc = configurationDescriptor(d);
  switch (d.faults.configDescriptor) {
    case ConfigDescriptorFault::Short:
      desc.resize(kShortConfiguration);
      break;
    case ConfigDescriptorFault::LyingTotalLength:
      // Asked for more than the header, the device reports another total.
      if (wLength > kConfigurationHeaderSize) {
        le::put16(desc, 2, static_cast<std::uint16_t>(le::get16(desc, 2) + kLyingExtra));
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

IoResult answerDescriptorRequest(std::span<std::uint8_t> buffer, const PortView& port) {
  if (buffer.size() < dr::kHeaderSize) return kIoFailed;
  const Device* d = port.device;
  if (d == nullptr || d->connectionStatus != kDeviceConnected || d->faults.descriptorRequestFails) {
    return kIoFailed;
  }
  const std::uint16_t wValue = le::get16(buffer, dr::kWValue);
  const std::uint16_t wIndex = le::get16(buffer, dr::kWIndex);
  const std::uint16_t wLength = le::get16(buffer, dr::kWLength);
  const auto type = static_cast<std::uint8_t>(wValue >> 8);
  const auto index = static_cast<std::uint8_t>(wValue & 0xFF);

  std::optional<std::vector<std::uint8_t>> desc;
  switch (type) {
    case kDeviceDescriptorType:
      if (index == 0) {
        const auto device = deviceDescriptor(*d);
        desc.emplace(device.begin(), device.end());
      }
      break;
    case kConfigurationDescriptorType:
      desc = configuration(*d, index, wLength);
      break;
    case kStringDescriptorType:
      desc = string(*d, index, wIndex);
      break;
    default:
      break;  // the device stalls
  }
  if (!desc) return kIoFailed;

  const std::size_t n =
      std::min({desc->size(), std::size_t{wLength}, buffer.size() - dr::kHeaderSize});
  std::copy_n(desc->begin(), n, buffer.begin() + static_cast<std::ptrdiff_t>(dr::kData));
  return {true, static_cast<std::uint32_t>(dr::kHeaderSize + n)};
}

}  // namespace korvex::sim
