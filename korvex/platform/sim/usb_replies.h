// The replies of the USB host controller and hub drivers to their I/O
// controls, written into the caller's buffer (one buffer serves as input
// and output). Each answer writes only inside the buffer and reports the
// bytes it wrote; a failed request leaves the buffer as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "korvex/platform/sim/sim_world.h"
#include "korvex/platform/sim/usb_node_lookup.h"

namespace korvex::sim {

struct IoResult {
  bool ok = false;
  std::uint32_t bytes = 0;  // bytes returned
};

inline constexpr IoResult kIoFailed{};

// A name query (driver key, root hub or connection name): ActualLength (the
// bytes the whole reply needs) at lengthOffset, then the NUL-terminated name
// from nameOffset, cut to what fits. A buffer without room for the fixed
// part (nameOffset + one unit) fails. hugeLength reports an absurd
// ActualLength that no buffer can satisfy.
IoResult answerName(std::span<std::uint8_t> buffer, std::size_t lengthOffset,
                    std::size_t nameOffset, std::u16string_view name, bool hugeLength);

// USB_NODE_INFORMATION of a hub.
IoResult answerNodeInformation(std::span<std::uint8_t> buffer, const Hub& hub, bool isRootHub);

// USB_NODE_CONNECTION_INFORMATION_EX (exForm) or the older form with
// LowSpeed, for the port that the buffer's ConnectionIndex named.
IoResult answerConnectionInformation(std::span<std::uint8_t> buffer, const PortView& port,
                                     bool exForm);

// USB_NODE_CONNECTION_NAME: the name of the hub on the port.
IoResult answerConnectionName(std::span<std::uint8_t> buffer, const PortView& port);

// USB_DESCRIPTOR_REQUEST: a GET_DESCRIPTOR request to the device on the
// port, with wValue, wIndex and wLength from the buffer's setup packet.
IoResult answerDescriptorRequest(std::span<std::uint8_t> buffer, const PortView& port);

}  // namespace korvex::sim
