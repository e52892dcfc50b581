#include "korvex/topology/usb_tree_walk.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "korvex/seam/controller_protocol.h"

namespace korvex::topology {

namespace {

using seam::kConfigurationHeaderSize;
namespace device_descriptor = seam::device_descriptor;
constexpr std::uint8_t kConfigurationDescriptor = seam::kConfigurationDescriptorType;
constexpr std::uint8_t kStringDescriptor = seam::kStringDescriptorType;
constexpr std::uint16_t kLongestStringDescriptor = 255;

std::uint16_t readU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

void copyUnits(std::array<char16_t, kStringUnits>& field, const std::u16string& text) {
  field.fill(u'\0');
  std::copy_n(text.begin(), std::min(text.size(), field.size() - 1), field.begin());
}

bool isController(const seam::PortConnection& connection) {
  const auto& d = connection.deviceDescriptor;
  return readU16(d, device_descriptor::kIdVendor) == protocol::kControllerVendorId &&
         readU16(d, device_descriptor::kIdProduct) == protocol::kControllerProductId;
}

}  // namespace

void UsbTreeWalk::ScanUsbTree() {
  for (const seam::HubName& rootHub : host_.rootHubs()) WalkHub(rootHub);
}

void UsbTreeWalk::WalkHub(std::u16string_view hubName) {
  const auto hub = host_.openHub(hubName);
  if (!hub) return;
  const auto ports = hub->portCount();
  if (!ports) return;
  for (unsigned port = 1; port <= *ports; ++port) {
    if (!walkPort(*hub, static_cast<std::uint8_t>(port))) break;
  }
}

bool UsbTreeWalk::walkPort(seam::UsbHub& hub, std::uint8_t port) {
  const auto connection = hub.connection(port);
  if (!connection) return true;
  if (isController(*connection)) {
    recordControllerHub(hub);
    found_ = true;
    return false;  // ports after the controller's are not walked
  }
  if (connection->deviceIsHub) {
    if (const auto name = hub.downstreamHub(port)) WalkHub(*name);
  }
  return true;
}

void UsbTreeWalk::recordControllerHub(seam::UsbHub& hub) {
  PortRecord controllerRecord;
  if (!ReadPortRecord(hub, protocol::kControllerPort, controllerRecord)) return;
  if (table_.find(controllerRecord.serial.data()) >= 0) return;
  // A table that is full records no more hubs; the found flag still tells
  // the caller that hubs were seen.
  if (table_.count >= kTableCapacity) return;
  PortRecord downstream;
  if (!ReadPortRecord(hub, protocol::kDownstreamPort, downstream)) return;
  table_.controllers[table_.count] = controllerRecord;
  table_.downstream[table_.count] = downstream;
  ++table_.count;
}

bool UsbTreeWalk::ReadPortRecord(seam::UsbHub& hub, std::uint8_t port, PortRecord& record) {
  namespace dd = device_descriptor;
  const auto connection = hub.connection(port);
  if (!connection) return false;
  const auto& d = connection->deviceDescriptor;
  record = PortRecord{};
  record.bDeviceClass = d[dd::kBDeviceClass];
  record.bDeviceSubClass = d[dd::kBDeviceSubClass];
  record.idVendor = readU16(d, dd::kIdVendor);
  record.idProduct = readU16(d, dd::kIdProduct);
  record.bcdDevice = readU16(d, dd::kBcdDevice);
  record.CurrentConfigurationValue = connection->currentConfigurationValue;
  record.Speed = connection->speed;
  record.ConnectionStatus = connection->connectionStatus;
  const std::uint8_t iSerialNumber = d[dd::kISerialNumber];
  const std::uint8_t iProduct = d[dd::kIProduct];
  if (record.ConnectionStatus == DeviceConnected && ReadConfigDescriptor(hub, port) &&
      (iSerialNumber != 0 || iProduct != 0)) {
    readStrings(hub, port, iSerialNumber, iProduct, record);
  }
  return true;
}

void UsbTreeWalk::readStrings(seam::UsbHub& hub, std::uint8_t port, std::uint8_t iSerialNumber,
                              std::uint8_t iProduct, PortRecord& record) {
  const auto languageList = ReadStringDescriptor(hub, port, 0, 0);
  if (!languageList) return;
  const auto readIndex = [&](std::uint8_t index, std::array<char16_t, kStringUnits>& field) {
    if (index == 0) return;
    for (const char16_t language : *languageList) {
      if (const auto text = ReadStringDescriptor(hub, port, index, language)) {
        copyUnits(field, *text);
        return;
      }
    }
  };
  readIndex(iSerialNumber, record.serial);
  readIndex(iProduct, record.product);
}

bool ReadConfigDescriptor(seam::UsbHub& hub, std::uint8_t port) {
  const auto request = [&](std::uint16_t length) -> std::optional<std::uint16_t> {
    const auto reply = hub.descriptor(port, kConfigurationDescriptor, 0, 0, length);
    if (!reply || reply->size() != length) return std::nullopt;
    return readU16(*reply, 2);  // wTotalLength
  };
  const auto totalLength = request(kConfigurationHeaderSize);
  if (!totalLength || *totalLength < kConfigurationHeaderSize) return false;
  return request(*totalLength) == totalLength;
}

std::optional<std::u16string> ReadStringDescriptor(seam::UsbHub& hub, std::uint8_t port,
                                                   std::uint8_t index, std::uint16_t language) {
  const auto reply =
      hub.descriptor(port, kStringDescriptor, index, language, kLongestStringDescriptor);
  if (!reply || reply->size() < 2) return std::nullopt;
  const std::size_t bLength = (*reply)[0];
  if ((*reply)[1] != kStringDescriptor || bLength != reply->size() || bLength % 2 != 0) {
    return std::nullopt;
  }
  std::u16string text;
  for (std::size_t at = 2; at < bLength; at += 2) {
    text += static_cast<char16_t>(readU16(*reply, at));
  }
  return text;
}

}  // namespace korvex::topology
