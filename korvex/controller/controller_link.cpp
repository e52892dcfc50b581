#include "korvex/controller/controller_link.h"

#include <algorithm>
#include <array>

#include "korvex/common/failure_reason.h"

namespace korvex::controller {

namespace {

// The pauses between reads of a reply that has not come yet: a prompt
// controller is read again at once, a silent one costs a read every 20 ms.
constexpr std::uint32_t kFirstPollPauseMs = 1;
constexpr std::uint32_t kLongestPollPauseMs = 20;

}  // namespace

bool WaitFeatureReply(seam::Clock& clock, seam::HidDevice& device, std::span<std::uint8_t> reply,
                      std::uint32_t timeoutMs, const StopSignal* stop) {
  static const StopSignal kNeverRaised;
  const StopSignal& until = stop != nullptr ? *stop : kNeverRaised;
  // Unsigned differences stay right when the counter wraps during the wait.
  const std::uint32_t start = clock.tickCount();
  std::uint32_t pause = kFirstPollPauseMs;
  for (;;) {
    if (!reply.empty()) {
      reply[protocol::kReportIdByte] = 0;
      if (device.getFeature(reply)) return true;
    }
    const auto waited = static_cast<std::uint32_t>(clock.tickCount() - start);
    if (waited >= timeoutMs) return false;
    if (clock.wait(std::min(pause, timeoutMs - waited), until)) return false;
    pause = std::min(pause * 2, kLongestPollPauseMs);
  }
}

ControllerSession::ControllerSession(ControllerDirectory& directory, seam::Clock& clock,
                                     ControllerLocks& locks, const char16_t* serial,
                                     const StopSignal* stop)
    : clock_(clock), stop_(stop), lock_(locks, serial), handle_(directory.open(serial)) {}

ControllerSession::ControllerSession(ControllerHandle opened, seam::Clock& clock,
                                     ControllerLocks& locks, const char16_t* serial,
                                     const StopSignal* stop)
    : clock_(clock), stop_(stop), lock_(locks, serial), handle_(std::move(opened)) {}

bool ControllerSession::exchange(const ControllerReport& request, std::uint32_t timeoutMs,
                                 ReplyClearing clearing) {
  // The directory recorded why it found none.
  if (!handle_.isOpen()) return false;
  const auto failed = [](FailureReason reason) {
    setFailureReason(reason);
    return false;
  };
  // The HID calls get exactly the length the device declares. A shorter
  // report than the protocol's would silently cut requests (FRAM data, clock
  // bytes), so such a device is not spoken to; a longer one gets the request
  // padded with zeros.
  const std::size_t length = handle_.lengths.feature;
  if (length < protocol::kReportSize) return failed(FailureReason::DeviceError);
  request_.assign(length, 0);
  std::copy(request.bytes.begin(), request.bytes.end(), request_.begin());
  if (clearing == ReplyClearing::WholeReport || reply_.size() != length) {
    reply_.assign(length, 0);
  }
  reply_[protocol::kReportIdByte] = 0;
  if (!handle_.device->setFeature(request_)) return failed(FailureReason::DeviceError);
  return WaitFeatureReply(clock_, *handle_.device, reply_, timeoutMs, stop_) ||
         failed(FailureReason::NoReply);
}

}  // namespace korvex::controller
