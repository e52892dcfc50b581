#include "korvex/controller/controller_link.h"

#include <algorithm>
#include <array>
#include <string>

#include "korvex/common/utf16.h"

namespace korvex::controller {

namespace {

bool isController(const platform::HidAttributes& a) {
  return a.vendorId == kControllerVendorId && a.productId == kControllerProductId;
}

}  // namespace

bool OpenController(platform::Platform& p, ControllerHandle& h, const char16_t* serial) {
  CloseController(p, h);
  if (serial == nullptr) return false;

  bool result = false;
  const bool listed = p.enumerateInterfaces(
      platform::InterfaceClass::Hid, [&](std::optional<std::u16string_view> path) {
        if (!path) return false;
        h.handle = p.openHid(*path);
        if (!h.isOpen()) return false;
        const auto attributes = p.hidAttributes(h.handle);
        if (!attributes) {
          CloseController(p, h);
          return false;
        }
        std::array<char16_t, platform::kHidSerialUnits> buffer{};
        p.hidSerialNumber(h.handle, buffer);
        if (!isController(*attributes) || !equalTerminated(buffer.data(), serial, buffer.size())) {
          CloseController(p, h);
          return true;
        }
        // The search handle is replaced by a fresh one for the exchanges.
        CloseController(p, h);
        h.handle = p.openHid(*path);
        if (!h.isOpen()) return false;
        const auto caps = p.hidCaps(h.handle);
        if (!caps) {
          CloseController(p, h);
          return false;
        }
        h.InputReportByteLength = caps->inputReportByteLength;
        h.OutputReportByteLength = caps->outputReportByteLength;
        h.FeatureReportByteLength = caps->featureReportByteLength;
        result = true;
        return false;
      });
  if (!listed || !result) CloseController(p, h);
  return result && h.isOpen();
}

bool WaitFeatureReply(platform::Platform& p, const ControllerHandle& h,
                      std::span<std::uint8_t> reply, std::uint32_t timeoutMs) {
  // Unsigned differences stay right when the counter wraps during the wait.
  const std::uint32_t start = p.tickCount();
  for (;;) {
    if (h.isOpen() && !reply.empty()) {
      reply[0] = 0;  // report ID
      if (p.hidGetFeature(h.handle, reply)) return true;
    }
    const std::uint32_t now = p.tickCount();
    if (static_cast<std::uint32_t>(now - start) >= timeoutMs) return false;
  }
}

void CloseController(platform::Platform& p, ControllerHandle& h) {
  if (!h.isOpen()) return;
  p.close(h.handle);
  h.handle = platform::kNoHandle;
}

ControllerSession::ControllerSession(platform::Platform& p, ControllerLocks& locks,
                                     const char16_t* serial)
    : platform_(p), lock_(locks.forSerial(serial)) {
  OpenController(platform_, handle_, serial);
}

ControllerSession::~ControllerSession() {
  CloseController(platform_, handle_);
}

bool ControllerSession::exchange(const ControllerReport& request, std::uint32_t timeoutMs,
                                 ReplyClearing clearing) {
  if (!handle_.isOpen()) return false;
  // The HID calls get exactly the length the device declares. A shorter
  // report than the protocol's would silently cut requests (FRAM data, clock
  // bytes), so such a device is not spoken to; a longer one gets the request
  // padded with zeros.
  const std::size_t length = handle_.FeatureReportByteLength;
  if (length < kReportSize) return false;
  request_.assign(length, 0);
  std::copy(request.bytes.begin(), request.bytes.end(), request_.begin());
  if (clearing == ReplyClearing::WholeReport || reply_.size() != length) {
    reply_.assign(length, 0);
  }
  reply_[0] = 0;
  if (!platform_.hidSetFeature(handle_.handle, request_)) return false;
  return WaitFeatureReply(platform_, handle_, reply_, timeoutMs);
}

}  // namespace korvex::controller
