#include "korvex/backends/win32/hub_queries.h"

#include <algorithm>
#include <span>
#include <vector>

#include "korvex/backends/win32/hub_ioctl_layout.h"

namespace korvex::win32 {

namespace {

// The reply to a request sent in buffer: the bytes returned, at most all of it.
std::optional<std::span<const std::uint8_t>> send(IoControlChannel& channel, std::uint32_t code,
                                                  std::vector<std::uint8_t>& buffer) {
  const std::optional<std::size_t> returned = channel.control(code, buffer);
  if (!returned) return std::nullopt;
  return std::span<const std::uint8_t>(buffer).first(std::min(*returned, buffer.size()));
}

}  // namespace

std::optional<std::u16string> queryName(IoControlChannel& channel, std::uint32_t code,
                                        const NameLayout& layout, std::uint32_t port) {
  std::vector<std::uint8_t> probe = buildNameRequest(layout, layout.fixedSize, port);
  const auto probeReply = send(channel, code, probe);
  if (!probeReply) return std::nullopt;
  const std::optional<std::size_t> size = parseNameLength(layout, *probeReply);
  if (!size) return std::nullopt;
  std::vector<std::uint8_t> full = buildNameRequest(layout, *size, port);
  const auto reply = send(channel, code, full);
  if (!reply) return std::nullopt;
  return parseNameReply(layout, *reply);
}

std::optional<seam::HubName> rootHubOf(IoControlChannel& hostController) {
  if (!queryName(hostController, kIoctlGetHcdDriverkeyName, kControllerName)) return std::nullopt;
  auto name = queryName(hostController, kIoctlUsbGetRootHubName, kControllerName);
  // A name of no units names no hub.
  if (!name || name->empty()) return std::nullopt;
  return name;
}

std::optional<seam::PortConnection> queryConnection(IoControlChannel& hub, std::uint32_t port) {
  std::vector<std::uint8_t> ex = buildConnectionRequest(port);
  if (const auto reply = send(hub, kIoctlUsbGetNodeConnectionInformationEx, ex)) {
    if (auto connection = parseConnection(*reply, ConnectionForm::Ex)) return connection;
  }
  std::vector<std::uint8_t> legacy = buildConnectionRequest(port);
  const auto reply = send(hub, kIoctlUsbGetNodeConnectionInformation, legacy);
  if (!reply) return std::nullopt;
  return parseConnection(*reply, ConnectionForm::Legacy);
}

std::optional<std::uint8_t> IoctlHub::portCount() {
  std::vector<std::uint8_t> request = buildNodeInformationRequest();
  const auto reply = send(*channel_, kIoctlUsbGetNodeInformation, request);
  if (!reply) return std::nullopt;
  return parsePortCount(*reply);
}

std::optional<seam::PortConnection> IoctlHub::connection(std::uint8_t port) {
  return queryConnection(*channel_, port);
}

std::optional<seam::HubName> IoctlHub::downstreamHub(std::uint8_t port) {
  auto name = queryName(*channel_, kIoctlUsbGetNodeConnectionName, kConnectionName, port);
  if (!name || name->empty()) return std::nullopt;
  return name;
}

std::optional<std::vector<std::uint8_t>> IoctlHub::descriptor(std::uint8_t port, std::uint8_t type,
                                                              std::uint8_t index,
                                                              std::uint16_t language,
                                                              std::uint16_t length) {
  std::vector<std::uint8_t> request = buildDescriptorRequest({port, type, index, language, length});
  const auto reply = send(*channel_, kIoctlUsbGetDescriptorFromNodeConnection, request);
  if (!reply) return std::nullopt;
  return parseDescriptorReply(*reply);
}

}  // namespace korvex::win32
