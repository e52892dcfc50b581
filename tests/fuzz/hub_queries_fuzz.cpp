// The hub and host controller queries against a driver whose every answer
// comes from the input: whether a request succeeds, how many bytes come
// back and what they are. Whatever it answers, the queries ask for no
// buffer beyond their bounds and hand back nothing longer than was asked.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "korvex/backends/win32/hub_ioctl_layout.h"
#include "korvex/backends/win32/hub_queries.h"

using namespace korvex::win32;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

class ByteStreamChannel final : public IoControlChannel {
 public:
  explicit ByteStreamChannel(const std::vector<std::uint8_t>& input) : input_(input) {}

  std::optional<std::size_t> control(std::uint32_t, std::span<std::uint8_t> buffer) override {
    // No request needs more than the longest name or descriptor.
    require(buffer.size() <= std::max(kMaxNameBytes, descriptor_request::kHeaderSize + 0xFFFF));
    if ((next() & 1) == 0) return std::nullopt;
    const std::size_t wanted = (static_cast<std::size_t>(next()) << 8) | next();
    const std::size_t n = std::min(wanted, buffer.size());
    for (std::size_t i = 0; i < n; ++i) buffer[i] = next();
    return n;
  }

  bool dry() const { return at_ >= input_.size(); }

 private:
  // Once the input is used up, every request fails.
  std::uint8_t next() { return at_ < input_.size() ? input_[at_++] : 0; }

  const std::vector<std::uint8_t>& input_;
  std::size_t at_ = 0;
};

void checkName(const std::optional<std::u16string>& name) {
  if (name) require(name->find(u'\0') == std::u16string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the input is caught.
  const std::vector<std::uint8_t> input(data, data + size);
  auto owned = std::make_unique<ByteStreamChannel>(input);
  ByteStreamChannel& channel = *owned;
  checkName(rootHubOf(channel));
  IoctlHub hub(std::move(owned));
  const std::uint8_t ports = hub.portCount().value_or(0);
  for (std::uint8_t port = 1; port <= ports && !channel.dry(); ++port) {
    if (const auto connection = hub.connection(port); connection && connection->deviceIsHub) {
      checkName(hub.downstreamHub(port));
    }
    // A configuration descriptor as the walk reads it: its first 9 bytes,
    // then as many as it claims.
    const auto head = hub.descriptor(port, 2, 0, 0, 9);
    if (!head) continue;
    require(head->size() <= 9);
    const auto total =
        static_cast<std::uint16_t>(head->size() >= 4 ? ((*head)[3] << 8) | (*head)[2] : 0);
    if (const auto whole = hub.descriptor(port, 2, 0, 0, total)) require(whole->size() <= total);
  }
  return 0;
}
