// The requests sent to the hub driver and the reading of its replies, as
// plain byte work with no system header, so that it builds and is tested
// everywhere. A reply is the span of the bytes the driver returned, never
// more: a field that lies past its end was not returned, and a reply that
// stops before a field the caller needs counts as no reply.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "korvex/seam/usb_host.h"

namespace korvex::win32 {

// The two layouts of a name reply: the host controller's names (driver
// key, root hub) and the name of the hub on a port, which starts with the
// port's ConnectionIndex.
struct NameLayout {
  std::size_t fixedSize;
  std::size_t actualLengthAt;
  std::size_t nameAt;
  bool hasConnectionIndex;
};
extern const NameLayout kControllerName;
extern const NameLayout kConnectionName;

// A zeroed name request of size bytes, with ConnectionIndex set to port
// when the layout has one.
std::vector<std::uint8_t> buildNameRequest(const NameLayout& layout, std::size_t size,
                                           std::uint32_t port = 0);

// The size of the request that returns the whole name, read from the reply
// to a request of the fixed size: its ActualLength. nullopt when the reply
// stops before ActualLength, or ActualLength leaves no room for a name or
// exceeds kMaxNameBytes.
std::optional<std::size_t> parseNameLength(const NameLayout& layout,
                                           std::span<const std::uint8_t> reply);

// The name in a reply: its UTF-16 units up to the first NUL or the end of
// the reply (an odd last byte is dropped); empty when there are none.
std::u16string parseNameReply(const NameLayout& layout, std::span<const std::uint8_t> reply);

// A zeroed USB_NODE_INFORMATION request.
std::vector<std::uint8_t> buildNodeInformationRequest();

// bNumberOfPorts; nullopt when the reply stops before it.
std::optional<std::uint8_t> parsePortCount(std::span<const std::uint8_t> reply);

// The connection query comes in two forms: the EX form reports the speed,
// the older one only whether the device is low speed.
enum class ConnectionForm { Ex, Legacy };

// A zeroed connection information request for the port.
std::vector<std::uint8_t> buildConnectionRequest(std::uint32_t port);

// The connection in either form, the speed mapped to the EX numbering;
// nullopt when the reply stops before the end of the fixed part (its
// zeros would read as a real status and descriptor).
std::optional<seam::PortConnection> parseConnection(std::span<const std::uint8_t> reply,
                                                    ConnectionForm form);

struct DescriptorRequest {
  std::uint32_t port = 0;
  std::uint8_t type = 0;
  std::uint8_t index = 0;
  std::uint16_t language = 0;
  std::uint16_t length = 0;
};

// A zeroed USB_DESCRIPTOR_REQUEST with room for length bytes of descriptor:
// ConnectionIndex, wValue (type and index), wIndex (language) and wLength.
std::vector<std::uint8_t> buildDescriptorRequest(const DescriptorRequest& request);

// The descriptor bytes that follow the request header in the reply;
// nullopt when the reply does not even hold the header.
std::optional<std::vector<std::uint8_t>> parseDescriptorReply(std::span<const std::uint8_t> reply);

// A HID serial number as HidD_GetSerialNumberString leaves it in its zeroed
// buffer: the units up to the first NUL, all of them when there is none.
std::u16string parseHidSerial(std::span<const char16_t, seam::kHidSerialUnits> buffer);

}  // namespace korvex::win32
