// Finding one hub's controller among the HID interfaces and exchanging
// request and reply reports with it. Nothing stays open between commands:
// each command opens its controller, exchanges its reports and closes it.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "korvex/controller/controller_locks.h"
#include "korvex/controller/controller_report.h"
#include "korvex/platform/platform.h"

namespace korvex::controller {

struct ControllerHandle {
  platform::Handle handle = platform::kNoHandle;
  std::uint16_t InputReportByteLength = 0;    // kept, not used
  std::uint16_t OutputReportByteLength = 0;   // kept, not used
  std::uint16_t FeatureReportByteLength = 0;  // passed to every feature call

  bool isOpen() const { return handle != platform::kNoHandle; }
};

// Finds the controller (vendor 0x3A91, product 0x0023) whose serial number
// string equals serial and opens it into h. The first interface that cannot
// be read (detail, open, attributes) ends the search. False leaves h closed.
bool OpenController(platform::Platform& p, ControllerHandle& h, const char16_t* serial);

// Reads the reply report into reply, repeating the read until it succeeds or
// timeoutMs have passed on the platform's tick counter (wrap-safe).
bool WaitFeatureReply(platform::Platform& p, const ControllerHandle& h,
                      std::span<std::uint8_t> reply, std::uint32_t timeoutMs);

// Closes h if it is open.
void CloseController(platform::Platform& p, ControllerHandle& h);

enum class ReplyClearing {
  ReportIdOnly,  // commands that use no reply data
  WholeReport,   // commands that take data or a value from the reply
};

// One command's conversation with one controller: holds the controller's
// lock and its open handle from construction to destruction.
class ControllerSession {
 public:
  ControllerSession(platform::Platform& p, ControllerLocks& locks, const char16_t* serial);
  ~ControllerSession();
  ControllerSession(const ControllerSession&) = delete;
  ControllerSession& operator=(const ControllerSession&) = delete;

  bool isOpen() const { return handle_.isOpen(); }

  // Sends the request and waits for its reply. False when the request was
  // not delivered, no reply came in time, or the device's declared feature
  // report is too short to carry the protocol's 65 bytes.
  bool exchange(const ControllerReport& request, std::uint32_t timeoutMs, ReplyClearing clearing);

  // The first 65 bytes of the last reply.
  std::span<const std::uint8_t, kReportSize> reply() const {
    return std::span<const std::uint8_t, kReportSize>(reply_.data(), kReportSize);
  }

 private:
  platform::Platform& platform_;
  std::lock_guard<std::mutex> lock_;
  ControllerHandle handle_;
  std::vector<std::uint8_t> request_;
  std::vector<std::uint8_t> reply_;
};

}  // namespace korvex::controller
