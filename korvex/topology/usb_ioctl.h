// The USB host controller and hub driver interface as byte layouts: the
// I/O control codes and the offsets of the packed structures that travel
// through them. The walk reads and writes these buffers byte by byte, so it
// needs no platform header; the Windows build checks the sizes and offsets
// against the platform's own structures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex::topology {

inline constexpr std::uint32_t kIoctlGetHcdDriverkeyName = 0x220424;
inline constexpr std::uint32_t kIoctlUsbGetRootHubName = 0x220408;
inline constexpr std::uint32_t kIoctlUsbGetNodeInformation = 0x220408;
inline constexpr std::uint32_t kIoctlUsbGetNodeConnectionInformationEx = 0x220448;
inline constexpr std::uint32_t kIoctlUsbGetNodeConnectionInformation = 0x22040C;
inline constexpr std::uint32_t kIoctlUsbGetNodeConnectionName = 0x220414;
inline constexpr std::uint32_t kIoctlUsbGetDescriptorFromNodeConnection = 0x220410;

// USB_HCD_DRIVERKEY_NAME and USB_ROOT_HUB_NAME: ActualLength, then the name.
namespace name_reply {
inline constexpr std::size_t kSize = 6;
inline constexpr std::size_t kActualLength = 0;
inline constexpr std::size_t kName = 4;
}  // namespace name_reply

// USB_NODE_CONNECTION_NAME: ConnectionIndex, ActualLength, then the name.
namespace connection_name {
inline constexpr std::size_t kSize = 10;
inline constexpr std::size_t kConnectionIndex = 0;
inline constexpr std::size_t kActualLength = 4;
inline constexpr std::size_t kName = 8;
}  // namespace connection_name

// USB_NODE_INFORMATION with a hub's USB_HUB_INFORMATION.
namespace node_information {
inline constexpr std::size_t kSize = 76;
inline constexpr std::size_t kNumberOfPorts = 6;  // HubDescriptor.bNumberOfPorts
}  // namespace node_information

// USB_NODE_CONNECTION_INFORMATION(_EX) with room for 30 USB_PIPE_INFO.
namespace connection_information {
inline constexpr std::size_t kPipeInfoSize = 11;
inline constexpr std::size_t kPipes = 30;
inline constexpr std::size_t kConnectionIndex = 0;
inline constexpr std::size_t kDeviceDescriptor = 4;
inline constexpr std::size_t kCurrentConfigurationValue = 22;
inline constexpr std::size_t kSpeed = 23;  // LowSpeed in the older form
inline constexpr std::size_t kDeviceIsHub = 24;
inline constexpr std::size_t kDeviceAddress = 25;
inline constexpr std::size_t kNumberOfOpenPipes = 27;
inline constexpr std::size_t kConnectionStatus = 31;
inline constexpr std::size_t kPipeList = 35;
inline constexpr std::size_t kSize = kPipeList + kPipes * kPipeInfoSize;
static_assert(kSize == 365);
}  // namespace connection_information

// USB_DEVICE_DESCRIPTOR fields, relative to the descriptor.
namespace device_descriptor {
inline constexpr std::size_t kSize = 18;
inline constexpr std::size_t kBDeviceClass = 4;
inline constexpr std::size_t kBDeviceSubClass = 5;
inline constexpr std::size_t kIdVendor = 8;
inline constexpr std::size_t kIdProduct = 10;
inline constexpr std::size_t kBcdDevice = 12;
inline constexpr std::size_t kIProduct = 15;
inline constexpr std::size_t kISerialNumber = 16;
}  // namespace device_descriptor

// USB_DESCRIPTOR_REQUEST: ConnectionIndex, the setup packet, then the data.
namespace descriptor_request {
inline constexpr std::size_t kHeaderSize = 12;
inline constexpr std::size_t kConnectionIndex = 0;
inline constexpr std::size_t kWValue = 6;
inline constexpr std::size_t kWIndex = 8;
inline constexpr std::size_t kWLength = 10;
inline constexpr std::size_t kData = 12;
inline constexpr std::size_t kConfigurationRequestSize = kHeaderSize + 9;  // 21
inline constexpr std::size_t kStringRequestSize = kHeaderSize + 255;       // 267
}  // namespace descriptor_request

inline constexpr std::uint16_t kConfigurationDescriptorType = 0x0200;
inline constexpr std::uint16_t kStringDescriptorType = 0x0300;

// Little-endian field access within a buffer; reads past the end give 0
// and writes past it are dropped, so a short reply never turns into an
// out-of-bounds access.
std::uint8_t readU8(std::span<const std::uint8_t> b, std::size_t at);
std::uint16_t readU16(std::span<const std::uint8_t> b, std::size_t at);
std::uint32_t readU32(std::span<const std::uint8_t> b, std::size_t at);
void writeU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v);
void writeU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v);

}  // namespace korvex::topology
