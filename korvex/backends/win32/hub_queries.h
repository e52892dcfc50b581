// The hub driver's queries as sequences of I/O controls: a name learnt in
// two steps (its length, then the name), the connection query falling back
// to the older form, descriptor requests. Plain code over an
// IoControlChannel, so that every sequence is tested on byte fixtures.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "korvex/backends/win32/hub_replies.h"
#include "korvex/backends/win32/io_control_channel.h"
#include "korvex/seam/usb_host.h"

namespace korvex::win32 {

// A name query: a request of the layout's fixed size tells the name's
// length (ActualLength), a second request of that size returns it.
// nullopt when either request fails or the length is refused.
std::optional<std::u16string> queryName(IoControlChannel& channel, std::uint32_t code,
                                        const NameLayout& layout, std::uint32_t port = 0);

// The root hub of an open host controller; nullopt when the controller's
// driver key name or its root hub name cannot be read. (The driver key
// name only decides whether the controller counts.)
std::optional<seam::HubName> rootHubOf(IoControlChannel& hostController);

// The connection on the port: the EX query, else the older one.
std::optional<seam::PortConnection> queryConnection(IoControlChannel& hub, std::uint32_t port);

// A seam hub over the I/O controls of an open hub.
class IoctlHub final : public seam::UsbHub {
 public:
  explicit IoctlHub(std::unique_ptr<IoControlChannel> channel) : channel_(std::move(channel)) {}

  std::optional<std::uint8_t> portCount() override;
  std::optional<seam::PortConnection> connection(std::uint8_t port) override;
  std::optional<seam::HubName> downstreamHub(std::uint8_t port) override;
  std::optional<std::vector<std::uint8_t>> descriptor(std::uint8_t port, std::uint8_t type,
                                                      std::uint8_t index, std::uint16_t language,
                                                      std::uint16_t length) override;

 private:
  std::unique_ptr<IoControlChannel> channel_;
};

}  // namespace korvex::win32
