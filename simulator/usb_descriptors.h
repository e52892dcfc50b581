// The standard USB descriptors a simulated device answers with, built from
// its entry in the world, and its answer to a GET_DESCRIPTOR request with
// its faults. Every device has one configuration with one interface and one
// interrupt IN endpoint.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "korvex/seam/usb_host.h"
#include "simulator/world.h"

namespace korvex::sim {

using seam::kConfigurationDescriptorType;
using seam::kConfigurationHeaderSize;
using seam::kDeviceDescriptorType;
using seam::kStringDescriptorType;

inline constexpr std::size_t kEndpointDescriptorSize = 7;
// A descriptor's bLength is one byte: a string descriptor holds at most 126
// UTF-16 units, a language list at most 126 languages.
inline constexpr std::size_t kMaxStringUnits = 126;

std::array<std::uint8_t, seam::kDeviceDescriptorSize> deviceDescriptor(const Device& d);

std::array<std::uint8_t, kEndpointDescriptorSize> endpointDescriptor(const Device& d);

// Configuration, interface and endpoint descriptor: wTotalLength bytes.
std::vector<std::uint8_t> configurationDescriptor(const Device& d);

// String descriptor 0: the device's languages.
std::vector<std::uint8_t> languageListDescriptor(const Device& d);

// The string with this index (iSerialNumber or iProduct), or nullopt when
// the device has none with it.
std::optional<std::vector<std::uint8_t>> stringDescriptor(const Device& d, std::uint8_t index);

// What the device returns to GET_DESCRIPTOR (type, index, language id,
// wLength), its faults applied: at most length bytes; nullopt when the
// request fails (the device stalls, or is not connected). bLength and
// wTotalLength describe the whole descriptor, also when only its start
// comes back.
std::optional<std::vector<std::uint8_t>> descriptorAnswer(const Device& d, std::uint8_t type,
                                                          std::uint8_t index,
                                                          std::uint16_t language,
                                                          std::uint16_t length);

}  // namespace korvex::sim
