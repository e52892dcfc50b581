// One USB device as sysfs shows it, turned into the seam's terms: the
// hub's view of the port (PortConnection) and the descriptors the device
// would return to GET_DESCRIPTOR. Plain code over the files' contents.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "korvex/seam/usb_host.h"

namespace korvex::linux_usb {

// The files of a device's sysfs folder that the backend reads, as read;
// nullopt for one that is missing or unreadable.
struct SysfsDeviceFiles {
  // "descriptors": the device descriptor, then each configuration's
  // descriptors (the whole wTotalLength of each), in configuration order.
  std::optional<std::vector<std::uint8_t>> descriptors;
  std::optional<std::string> bConfigurationValue;  // empty text: not configured
  std::optional<std::string> speed;
  std::optional<std::string> serial, product, manufacturer;
};

// The device descriptor at the start of the descriptors file; nullopt when
// the file is shorter or does not start with one.
std::optional<std::array<std::uint8_t, seam::kDeviceDescriptorSize>> deviceDescriptor(
    const std::vector<std::uint8_t>& descriptors);

// What the hub knows of its port: no device when device is nullopt;
// connected (configured or not) with its descriptor; a device folder
// without a readable device descriptor counts as a failed enumeration.
seam::PortConnection portConnection(const std::optional<SysfsDeviceFiles>& device);

// The reply to GET_DESCRIPTOR (type, index, language) with wLength length:
// the device descriptor, the index-th configuration with all its
// descriptors, or a string descriptor made from the serial, product or
// manufacturer file (index 0: the language list, US English only). At most
// length bytes; nullopt for a descriptor the device does not have.
std::optional<std::vector<std::uint8_t>> descriptorReply(const SysfsDeviceFiles& device,
                                                         std::uint8_t type, std::uint8_t index,
                                                         std::uint16_t language,
                                                         std::uint16_t length);

// The language the string descriptors are given in.
inline constexpr std::uint16_t kUsEnglish = 0x0409;

}  // namespace korvex::linux_usb
