#include "korvex/topology/usb_tree_walk.h"

#include <algorithm>
#include <string>

#include "korvex/controller/controller_report.h"
#include "korvex/platform/handle_guard.h"
#include "korvex/topology/usb_ioctl.h"

namespace korvex::topology {

namespace {

using platform::HandleGuard;

namespace ci = connection_information;
namespace dd = device_descriptor;
namespace dr = descriptor_request;

constexpr std::uint32_t kControllerPort = 2;
constexpr std::uint32_t kDownstreamPort = 1;
constexpr int kNumberedHostControllers = 10;

// A name reply may claim any length; names longer than this are refused
// rather than allocated.
constexpr std::uint32_t kMaxNameBytes = 32 * 1024;

std::size_t descriptorField(std::size_t field) {
  return ci::kDeviceDescriptor + field;
}

// The UTF-16 units in bytes [from, end) of a reply, up to the first NUL.
std::u16string unitsFrom(std::span<const std::uint8_t> b, std::size_t from, std::size_t end) {
  std::u16string s;
  for (std::size_t at = from; at + 1 < end && at + 1 < b.size(); at += 2) {
    const auto unit = static_cast<char16_t>(readU16(b, at));
    if (unit == u'\0') break;
    s += unit;
  }
  return s;
}

void copyUnits(std::array<char16_t, kStringUnits>& field, const std::u16string& text) {
  field.fill(u'\0');
  std::copy_n(text.begin(), std::min(text.size(), field.size() - 1), field.begin());
}

}  // namespace

std::uint16_t ConnectionInfo::idVendor() const {
  return readU16(bytes, descriptorField(dd::kIdVendor));
}
std::uint16_t ConnectionInfo::idProduct() const {
  return readU16(bytes, descriptorField(dd::kIdProduct));
}
bool ConnectionInfo::deviceIsHub() const {
  return readU8(bytes, ci::kDeviceIsHub) != 0;
}
std::uint32_t ConnectionInfo::connectionStatus() const {
  return readU32(bytes, ci::kConnectionStatus);
}
std::uint8_t ConnectionInfo::iSerialNumber() const {
  return readU8(bytes, descriptorField(dd::kISerialNumber));
}
std::uint8_t ConnectionInfo::iProduct() const {
  return readU8(bytes, descriptorField(dd::kIProduct));
}

void UsbTreeWalk::ScanUsbTree() {
  for (int n = 0; n < kNumberedHostControllers; ++n) {
    const std::string name = "\\\\.\\HCD" + std::to_string(n);
    const HandleGuard hc(platform_,
                         platform_.openUsbNode(std::u16string(name.begin(), name.end())));
    if (hc.isOpen()) WalkHostController(hc.get());
  }
  platform_.enumerateInterfaces(platform::InterfaceClass::UsbHostController,
                                [&](std::optional<std::u16string_view> path) {
                                  // A controller whose path cannot be read is
                                  // skipped like one that does not open.
                                  if (!path) return true;
                                  const HandleGuard hc(platform_, platform_.openUsbNode(*path));
                                  if (hc.isOpen()) WalkHostController(hc.get());
                                  return true;
                                });
}

std::optional<std::u16string> UsbTreeWalk::queryName(platform::Handle h, std::uint32_t code,
                                                     std::size_t fixedSize, std::size_t nameOffset,
                                                     std::optional<std::uint32_t> connectionIndex) {
  std::vector<std::uint8_t> probe(fixedSize, 0);
  if (connectionIndex) writeU32(probe, connection_name::kConnectionIndex, *connectionIndex);
  std::uint32_t returned = 0;
  if (!platform_.ioControl(h, code, probe, returned)) return std::nullopt;
  const std::uint32_t actual =
      readU32(probe, connectionIndex ? connection_name::kActualLength : name_reply::kActualLength);
  if (actual <= fixedSize || actual > kMaxNameBytes) return std::nullopt;

  std::vector<std::uint8_t> full(actual, 0);
  if (connectionIndex) writeU32(full, connection_name::kConnectionIndex, *connectionIndex);
  if (!platform_.ioControl(h, code, full, returned)) return std::nullopt;
  return unitsFrom(full, nameOffset, std::min<std::size_t>(returned, full.size()));
}

void UsbTreeWalk::WalkHostController(platform::Handle hostController) {
  // The driver key name only decides whether the controller is walked.
  if (!queryName(hostController, kIoctlGetHcdDriverkeyName, name_reply::kSize, name_reply::kName,
                 std::nullopt)) {
    return;
  }
  const auto rootHub = queryName(hostController, kIoctlUsbGetRootHubName, name_reply::kSize,
                                 name_reply::kName, std::nullopt);
  if (!rootHub) return;
  WalkHub(*rootHub);
}

void UsbTreeWalk::WalkHub(std::u16string_view hubName) {
  const HandleGuard hub(platform_, platform_.openUsbNode(u"\\\\.\\" + std::u16string(hubName)));
  if (!hub.isOpen()) return;
  std::vector<std::uint8_t> node(node_information::kSize, 0);
  std::uint32_t returned = 0;
  // A reply that stops before the port count is no answer.
  if (!platform_.ioControl(hub.get(), kIoctlUsbGetNodeInformation, node, returned) ||
      returned <= node_information::kNumberOfPorts) {
    return;
  }
  const std::uint8_t ports = node[node_information::kNumberOfPorts];
  for (std::uint32_t port = 1; port <= ports; ++port) {
    if (!walkPort(hub.get(), port)) break;
  }
}

bool UsbTreeWalk::walkPort(platform::Handle hub, std::uint32_t port) {
  const auto info = queryConnection(hub, port);
  if (!info) return true;
  if (info->idVendor() == controller::kControllerVendorId &&
      info->idProduct() == controller::kControllerProductId) {
    recordControllerHub(hub);
    found_ = true;
    return false;  // ports after the controller's are not walked
  }
  if (info->deviceIsHub()) {
    if (const auto name = queryName(hub, kIoctlUsbGetNodeConnectionName, connection_name::kSize,
                                    connection_name::kName, port)) {
      WalkHub(*name);
    }
  }
  return true;
}

void UsbTreeWalk::recordControllerHub(platform::Handle hub) {
  PortRecord controllerRecord;
  if (!ReadPortRecord(hub, kControllerPort, controllerRecord)) return;
  if (table_.find(controllerRecord.serial.data()) >= 0) return;
  // A table that is full records no more hubs; the found flag still tells
  // the caller that hubs were seen.
  if (table_.count >= kTableCapacity) return;
  PortRecord downstream;
  if (!ReadPortRecord(hub, kDownstreamPort, downstream)) return;
  table_.controllers[table_.count] = controllerRecord;
  table_.downstream[table_.count] = downstream;
  ++table_.count;
}

std::optional<ConnectionInfo> UsbTreeWalk::queryConnection(platform::Handle hub,
                                                           std::uint32_t port) {
  ConnectionInfo info{std::vector<std::uint8_t>(ci::kSize, 0)};
  writeU32(info.bytes, ci::kConnectionIndex, port);
  // A reply shorter than the fixed part would leave the status and the
  // descriptor as zeros that look like real values, so it counts as failed.
  const auto answered = [&](std::uint32_t code) {
    std::uint32_t returned = 0;
    return platform_.ioControl(hub, code, info.bytes, returned) && returned >= ci::kPipeList;
  };
  if (answered(kIoctlUsbGetNodeConnectionInformationEx)) return info;
  // The older form has LowSpeed where the EX form has Speed.
  info.bytes.assign(ci::kSize, 0);
  writeU32(info.bytes, ci::kConnectionIndex, port);
  if (!answered(kIoctlUsbGetNodeConnectionInformation)) return std::nullopt;
  info.bytes[ci::kSpeed] = info.bytes[ci::kSpeed] == 0 ? 1 : 0;
  return info;
}

bool UsbTreeWalk::ReadPortRecord(platform::Handle hub, std::uint32_t port, PortRecord& record) {
  const auto info = queryConnection(hub, port);
  if (!info) return false;
  const auto& b = info->bytes;
  record = PortRecord{};
  record.bDeviceClass = readU8(b, descriptorField(dd::kBDeviceClass));
  record.bDeviceSubClass = readU8(b, descriptorField(dd::kBDeviceSubClass));
  record.idVendor = info->idVendor();
  record.idProduct = info->idProduct();
  record.bcdDevice = readU16(b, descriptorField(dd::kBcdDevice));
  record.CurrentConfigurationValue = readU8(b, ci::kCurrentConfigurationValue);
  record.Speed = readU8(b, ci::kSpeed);
  record.ConnectionStatus = info->connectionStatus();
  if (record.ConnectionStatus == DeviceConnected && ReadConfigDescriptor(hub, port) &&
      (info->iSerialNumber() != 0 || info->iProduct() != 0)) {
    readStrings(hub, port, *info, record);
  }
  return true;
}

void UsbTreeWalk::readStrings(platform::Handle hub, std::uint32_t port, const ConnectionInfo& info,
                              PortRecord& record) {
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
  readIndex(info.iSerialNumber(), record.serial);
  readIndex(info.iProduct(), record.product);
}

bool UsbTreeWalk::ReadConfigDescriptor(platform::Handle hub, std::uint32_t port) {
  const auto request = [&](std::uint16_t wLength, std::vector<std::uint8_t>& buffer) {
    buffer.assign(dr::kHeaderSize + wLength, 0);
    writeU32(buffer, dr::kConnectionIndex, port);
    writeU16(buffer, dr::kWValue, kConfigurationDescriptorType);
    writeU16(buffer, dr::kWIndex, 0);
    writeU16(buffer, dr::kWLength, wLength);
    std::uint32_t returned = 0;
    const bool ok =
        platform_.ioControl(hub, kIoctlUsbGetDescriptorFromNodeConnection, buffer, returned);
    return ok && returned == buffer.size();
  };
  std::vector<std::uint8_t> buffer;
  if (!request(9, buffer)) return false;
  const std::uint16_t totalLength = readU16(buffer, dr::kData + 2);
  if (totalLength < 9) return false;
  if (!request(totalLength, buffer)) return false;
  return readU16(buffer, dr::kData + 2) == totalLength;
}

std::optional<std::u16string> UsbTreeWalk::ReadStringDescriptor(platform::Handle hub,
                                                                std::uint32_t port,
                                                                std::uint8_t index,
                                                                std::uint16_t language) {
  std::vector<std::uint8_t> buffer(dr::kStringRequestSize, 0);
  writeU32(buffer, dr::kConnectionIndex, port);
  writeU16(buffer, dr::kWValue, static_cast<std::uint16_t>(kStringDescriptorType | index));
  writeU16(buffer, dr::kWIndex, language);
  writeU16(buffer, dr::kWLength, 255);
  std::uint32_t returned = 0;
  if (!platform_.ioControl(hub, kIoctlUsbGetDescriptorFromNodeConnection, buffer, returned)) {
    return std::nullopt;
  }
  if (returned < dr::kHeaderSize + 2 || returned > buffer.size()) return std::nullopt;
  const std::uint8_t bLength = buffer[dr::kData];
  const std::uint8_t type = readU8(buffer, dr::kData + 1);
  if (type != 3 || bLength != returned - dr::kHeaderSize || bLength % 2 != 0) {
    return std::nullopt;
  }
  std::u16string text;
  for (std::size_t unit = 0; unit < (bLength - 2u) / 2u; ++unit) {
    text += static_cast<char16_t>(readU16(buffer, dr::kData + 2 + 2 * unit));
  }
  return text;
}

}  // namespace korvex::topology
