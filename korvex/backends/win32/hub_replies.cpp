#include "korvex/backends/win32/hub_replies.h"

#include <algorithm>

#include "korvex/backends/win32/hub_ioctl_layout.h"

namespace korvex::win32 {

namespace ci = connection_information;
namespace dr = descriptor_request;

const NameLayout kControllerName{name_reply::kSize, name_reply::kActualLength, name_reply::kName,
                                 false};
const NameLayout kConnectionName{connection_name::kSize, connection_name::kActualLength,
                                 connection_name::kName, true};

namespace {

// Little-endian fields. Callers check that the field lies within the span.
std::uint16_t u16At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32At(std::span<const std::uint8_t> b, std::size_t at) {
  return u16At(b, at) | (static_cast<std::uint32_t>(u16At(b, at + 2)) << 16);
}

void putU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  putU16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
  putU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

std::vector<std::uint8_t> buildNameRequest(const NameLayout& layout, std::size_t size,
                                           std::uint32_t port) {
  std::vector<std::uint8_t> request(std::max(size, layout.fixedSize), 0);
  if (layout.hasConnectionIndex) putU32(request, connection_name::kConnectionIndex, port);
  return request;
}

std::optional<std::size_t> parseNameLength(const NameLayout& layout,
                                           std::span<const std::uint8_t> reply) {
  if (reply.size() < layout.actualLengthAt + 4) return std::nullopt;
  const std::uint32_t actual = u32At(reply, layout.actualLengthAt);
  if (actual <= layout.fixedSize || actual > kMaxNameBytes) return std::nullopt;
  return actual;
}

std::u16string parseNameReply(const NameLayout& layout, std::span<const std::uint8_t> reply) {
  std::u16string name;
  for (std::size_t at = layout.nameAt; at + 1 < reply.size(); at += 2) {
    const auto unit = static_cast<char16_t>(u16At(reply, at));
    if (unit == u'\0') break;
    name += unit;
  }
  return name;
}

std::vector<std::uint8_t> buildNodeInformationRequest() {
  return std::vector<std::uint8_t>(node_information::kSize, 0);
}

std::optional<std::uint8_t> parsePortCount(std::span<const std::uint8_t> reply) {
  if (reply.size() <= node_information::kNumberOfPorts) return std::nullopt;
  return reply[node_information::kNumberOfPorts];
}

std::vector<std::uint8_t> buildConnectionRequest(std::uint32_t port) {
  std::vector<std::uint8_t> request(ci::kSize, 0);
  putU32(request, ci::kConnectionIndex, port);
  return request;
}

std::optional<seam::PortConnection> parseConnection(std::span<const std::uint8_t> reply,
                                                    ConnectionForm form) {
  if (reply.size() < ci::kPipeList) return std::nullopt;
  seam::PortConnection connection;
  connection.connectionStatus = u32At(reply, ci::kConnectionStatus);
  std::copy_n(reply.begin() + ci::kDeviceDescriptor, ci::kDeviceDescriptorSize,
              connection.deviceDescriptor.begin());
  connection.currentConfigurationValue = reply[ci::kCurrentConfigurationValue];
  const std::uint8_t speed = reply[ci::kSpeed];
  // The older form's LowSpeed flag: anything that is not low speed is
  // reported as full speed.
  connection.speed = form == ConnectionForm::Ex ? speed : (speed == 0 ? 1 : 0);
  connection.deviceIsHub = reply[ci::kDeviceIsHub] != 0;
  return connection;
}

std::vector<std::uint8_t> buildDescriptorRequest(const DescriptorRequest& request) {
  std::vector<std::uint8_t> bytes(dr::kHeaderSize + request.length, 0);
  putU32(bytes, dr::kConnectionIndex, request.port);
  putU16(bytes, dr::kWValue, static_cast<std::uint16_t>((request.type << 8) | request.index));
  putU16(bytes, dr::kWIndex, request.language);
  putU16(bytes, dr::kWLength, request.length);
  return bytes;
}

std::optional<std::vector<std::uint8_t>> parseDescriptorReply(std::span<const std::uint8_t> reply) {
  if (reply.size() < dr::kHeaderSize) return std::nullopt;
  return std::vector<std::uint8_t>(reply.begin() + dr::kData, reply.end());
}

std::u16string parseHidSerial(std::span<const char16_t, seam::kHidSerialUnits> buffer) {
  const auto end = std::find(buffer.begin(), buffer.end(), u'\0');
  return std::u16string(buffer.begin(), end);
}

}  // namespace korvex::win32
