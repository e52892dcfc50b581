// Exchanging request and reply reports with one hub's controller. Each
// command opens its controller (through the ControllerDirectory), exchanges
// its reports and closes it; nothing stays open between commands.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "korvex/common/stop_signal.h"
#include "korvex/controller/controller_directory.h"
#include "korvex/controller/controller_locks.h"
#include "korvex/controller/controller_report.h"
#include "korvex/controller/controller_search.h"
#include "korvex/seam/clock.h"
#include "korvex/seam/usb_host.h"

namespace korvex::controller {

// Reads the reply report into reply, repeating the read until it succeeds or
// timeoutMs have passed on the clock's tick counter (wrap-safe). Between
// reads it waits on the clock, 1 ms at first and twice as long each time up
// to 20 ms. A stop given ends the wait at once when it is raised; a stop
// already raised leaves one read.
bool WaitFeatureReply(seam::Clock& clock, seam::HidDevice& device, std::span<std::uint8_t> reply,
                      std::uint32_t timeoutMs, const StopSignal* stop = nullptr);

enum class ReplyClearing {
  ReportIdOnly,  // commands that use no reply data
  WholeReport,   // commands that take data or a value from the reply
};

// One command's conversation with one controller: holds the controller's
// lock and its open device from construction to destruction.
class ControllerSession {
 public:
  // Opens the controller through the directory once its lock is held.
  // stop, when given, ends the reply waits early (WaitFeatureReply).
  ControllerSession(ControllerDirectory& directory, seam::Clock& clock, ControllerLocks& locks,
                    const char16_t* serial, const StopSignal* stop = nullptr);
  // Takes over a controller opened already (ControllerDirectory::openAll).
  ControllerSession(ControllerHandle opened, seam::Clock& clock, ControllerLocks& locks,
                    const char16_t* serial, const StopSignal* stop = nullptr);
  ControllerSession(const ControllerSession&) = delete;
  ControllerSession& operator=(const ControllerSession&) = delete;

  bool isOpen() const { return handle_.isOpen(); }

  // Sends the request and waits for its reply. False when the request was
  // not delivered, no reply came in time, or the device's declared feature
  // report is too short to carry the protocol's 65 bytes; the reason is
  // recorded (failure_reason.h).
  bool exchange(const ControllerReport& request, std::uint32_t timeoutMs, ReplyClearing clearing);

  // The first 65 bytes of the last reply.
  std::span<const std::uint8_t, protocol::kReportSize> reply() const {
    return std::span<const std::uint8_t, protocol::kReportSize>(reply_.data(),
                                                                protocol::kReportSize);
  }

 private:
  seam::Clock& clock_;
  const StopSignal* stop_;
  ControllerLocks::Held lock_;
  ControllerHandle handle_;
  std::vector<std::uint8_t> request_;
  std::vector<std::uint8_t> reply_;
};

}  // namespace korvex::controller
