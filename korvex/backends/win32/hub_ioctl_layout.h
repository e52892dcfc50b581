// The USB host controller and hub driver interface as byte layouts: the I/O
// control codes and the offsets of the packed structures that travel
// through them. The reply parsing reads and writes these buffers byte by
// byte, so it builds and is tested on every system; the Windows build holds
// these numbers against the system's own structures (layout_check.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex::win32 {

inline constexpr std::uint32_t kIoctlGetHcdDriverkeyName = 0x220424;
inline constexpr std::uint32_t kIoctlUsbGetRootHubName = 0x220408;
// The same code as the root hub name: one is sent to a host controller, the
// other to a hub.
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

// A name reply may claim any ActualLength; longer names are refused rather
// than allocated.
inline constexpr std::size_t kMaxNameBytes = 32 * 1024;

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
inline constexpr std::size_t kDeviceDescriptorSize = 18;
inline constexpr std::size_t kCurrentConfigurationValue = 22;
inline constexpr std::size_t kSpeed = 23;  // LowSpeed in the older form
inline constexpr std::size_t kDeviceIsHub = 24;
inline constexpr std::size_t kDeviceAddress = 25;
inline constexpr std::size_t kNumberOfOpenPipes = 27;
inline constexpr std::size_t kConnectionStatus = 31;
inline constexpr std::size_t kPipeList = 35;  // the end of the fixed part
inline constexpr std::size_t kSize = kPipeList + kPipes * kPipeInfoSize;
static_assert(kSize == 365);
static_assert(kDeviceDescriptor + kDeviceDescriptorSize == kCurrentConfigurationValue);
}  // namespace connection_information

// USB_DESCRIPTOR_REQUEST: ConnectionIndex, the setup packet, then the data.
namespace descriptor_request {
inline constexpr std::size_t kConnectionIndex = 0;
inline constexpr std::size_t kBmRequest = 4;
inline constexpr std::size_t kBRequest = 5;
inline constexpr std::size_t kWValue = 6;
inline constexpr std::size_t kWIndex = 8;
inline constexpr std::size_t kWLength = 10;
inline constexpr std::size_t kData = 12;
inline constexpr std::size_t kHeaderSize = kData;
static_assert(kHeaderSize == 12);
}  // namespace descriptor_request

}  // namespace korvex::win32
