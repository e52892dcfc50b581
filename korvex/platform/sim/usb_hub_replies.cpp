// A hub driver's replies about the hub itself and about what is on its
// ports: node information, connection information and connection name.
#include <algorithm>
#include <vector>

#include "korvex/platform/sim/little_endian.h"
#include "korvex/platform/sim/usb_descriptors.h"
#include "korvex/platform/sim/usb_replies.h"
#include "korvex/topology/usb_ioctl.h"

namespace korvex::sim {

namespace {

namespace ci = topology::connection_information;
namespace cn = topology::connection_name;
namespace ni = topology::node_information;

// USB_NODE_INFORMATION: NodeType, then USB_HUB_INFORMATION (the hub
// descriptor with room for 64 bytes of port bitmaps, HubIsBusPowered).
constexpr std::size_t kHubDescriptor = 4;
constexpr std::size_t kHubCharacteristics = 7;
constexpr std::size_t kPowerOnToPowerGood = 9;
constexpr std::size_t kHubControlCurrent = 10;
constexpr std::size_t kRemoveAndPowerMask = 11;
constexpr std::size_t kHubIsBusPowered = 75;
constexpr std::uint8_t kHubDescriptorType = 0x29;
// A short node information reply ends before bNumberOfPorts.
constexpr std::size_t kShortNodeInformation = ni::kNumberOfPorts;

// A short connection information reply ends after the device descriptor.
constexpr std::size_t kShortConnectionInformation = ci::kCurrentConfigurationValue;
// The C structure with its one declared pipe entry: the smallest buffer the
// driver accepts.
constexpr std::size_t kConnectionInformationMinimum = ci::kPipeList + ci::kPipeInfoSize;

}  // namespace

IoResult answerNodeInformation(std::span<std::uint8_t> buffer, const Hub& hub, bool isRootHub) {
  if (buffer.size() < ni::kSize || hub.faults.nodeInformationFails) return kIoFailed;
  std::vector<std::uint8_t> reply(ni::kSize, 0);
  const std::uint8_t ports = hub.portCount();
  // DeviceRemovable and PortPwrCtrlMask: one bit per port and bit 0
  // reserved, each in whole bytes.
  const std::size_t bitmapBytes = ports / 8u + 1u;
  le::put32(reply, 0, 0);  // NodeType UsbHub
  reply[kHubDescriptor] = static_cast<std::uint8_t>(7 + 2 * bitmapBytes);
  reply[kHubDescriptor + 1] = kHubDescriptorType;
  reply[ni::kNumberOfPorts] = ports;
  le::put16(reply, kHubCharacteristics, 0x0009);  // per-port power switching and overcurrent
  reply[kPowerOnToPowerGood] = 50;                // 100 ms
  reply[kHubControlCurrent] = 100;                // mA
  // Every port removable (0 bits), then the power control mask all set.
  std::fill_n(reply.begin() + static_cast<std::ptrdiff_t>(kRemoveAndPowerMask + bitmapBytes),
              bitmapBytes, std::uint8_t{0xFF});
  reply[kHubIsBusPowered] = isRootHub ? 0 : 1;

  const std::size_t n = hub.faults.nodeInformationShortReply ? kShortNodeInformation : ni::kSize;
  std::copy_n(reply.begin(), n, buffer.begin());
  return {true, static_cast<std::uint32_t>(n)};
}

IoResult answerConnectionInformation(std::span<std::uint8_t> buffer, const PortView& port,
                                     bool exForm) {
  if (buffer.size() < kConnectionInformationMinimum) return kIoFailed;
  const Device* d = port.device;
  if (d != nullptr &&
      (d->faults.connectionInfoFails || (exForm && d->faults.connectionInfoExFails))) {
    return kIoFailed;
  }
  // An empty port: every field 0, ConnectionStatus NoDeviceConnected.
  std::vector<std::uint8_t> reply(ci::kPipeList, 0);
  std::copy_n(buffer.begin(), 4, reply.begin());  // ConnectionIndex stays as given
  if (d != nullptr) {
    const auto descriptor = deviceDescriptor(*d);
    std::copy(descriptor.begin(), descriptor.end(),
              reply.begin() + static_cast<std::ptrdiff_t>(ci::kDeviceDescriptor));
    reply[ci::kCurrentConfigurationValue] = d->currentConfigurationValue;
    reply[ci::kSpeed] = exForm ? d->speed : (d->speed == 0 ? 1 : 0);  // Speed, or LowSpeed
    reply[ci::kDeviceIsHub] = d->hub ? 1 : 0;
    le::put16(reply, ci::kDeviceAddress, port.address);
    le::put32(reply, ci::kConnectionStatus, d->connectionStatus);
    // A configured device has its one endpoint open; the list holds as
    // many pipes as the buffer has room for.
    const std::uint32_t openPipes = d->currentConfigurationValue != 0 ? 1 : 0;
    const std::size_t room = (buffer.size() - ci::kPipeList) / ci::kPipeInfoSize;
    le::put32(reply, ci::kNumberOfOpenPipes, openPipes);
    const auto endpoint = endpointDescriptor(*d);
    for (std::size_t i = 0; i < std::min<std::size_t>(openPipes, room); ++i) {
      reply.insert(reply.end(), endpoint.begin(), endpoint.end());
      reply.insert(reply.end(), 4, 0);  // ScheduleOffset
    }
  }
  const std::size_t n = (d != nullptr && d->faults.connectionInfoShortReply)
                            ? kShortConnectionInformation
                            : reply.size();
  std::copy_n(reply.begin(), n, buffer.begin());
  return {true, static_cast<std::uint32_t>(n)};
}

IoResult answerConnectionName(std::span<std::uint8_t> buffer, const PortView& port) {
  const Device* d = port.device;
  if (d == nullptr || !d->hub || d->faults.connectionNameFails) return kIoFailed;
  return answerName(buffer, cn::kActualLength, cn::kName, d->hub->name,
                    d->faults.connectionNameHugeLength);
}

}  // namespace korvex::sim
