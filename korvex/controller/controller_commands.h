// The ten controller commands. Each names its controller by the controller
// serial, opens it, exchanges its reports and closes it again. Results are
// 1 for success and 0 for failure, whose reason is recorded
// (failure_reason.h); outputs are written only on success,
// except that a failed FRAM read may have filled the chunks before the
// failure (never more than count bytes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "korvex/common/stop_signal.h"
#include "korvex/controller/controller_directory.h"
#include "korvex/controller/controller_link.h"
#include "korvex/controller/controller_locks.h"
#include "korvex/seam/clock.h"
#include "korvex/seam/controller_protocol.h"
#include "korvex/seam/usb_host.h"

namespace korvex::controller {

inline constexpr unsigned kClockBytes = 7;
inline constexpr unsigned kUsbSerialBytes = 8;
inline constexpr unsigned kFramLimit = 255;  // address + count may not exceed it
inline constexpr std::size_t kStatusReadThreads = 8;

class ControllerCommands {
 public:
  // The commands and their copies (stoppedBy) share one directory of the
  // controllers' paths.
  ControllerCommands(seam::UsbHost& host, seam::Clock& clock, ControllerLocks& locks)
      : directory_(std::make_shared<ControllerDirectory>(host)), clock_(clock), locks_(locks) {}

  // The same commands, whose reply waits end as soon as stop is raised (the
  // watchdog's, so that a stop never waits out a silent controller). stop
  // must outlive the copy.
  ControllerCommands stoppedBy(const StopSignal& stop) const {
    ControllerCommands copy = *this;
    copy.stop_ = &stop;
    return copy;
  }

  int getStatus(const char16_t* serial, std::uint8_t* status);
  // getStatus for each serial, into the status byte of the same index (left
  // as it is when the read fails): every controller opened once, the reads
  // side by side on up to kStatusReadThreads threads, so that silent
  // controllers time out together. With a stop (stoppedBy) raised, no
  // further read starts.
  void getStatuses(std::span<const char16_t* const> serials, std::span<std::uint8_t> statuses);
  // replyTimeoutMs: how long the reply is waited for; the request goes out
  // whatever it is.
  int setStatus(const char16_t* serial, std::uint8_t status,
                std::uint32_t replyTimeoutMs = protocol::kReplyTimeoutMs);
  // 0 only when the controller cannot be found and opened.
  int setReset(const char16_t* serial, std::uint8_t value);
  int getFault(const char16_t* serial, std::uint8_t* fault);
  int setPicWrite(const char16_t* serial);
  int getRtc(const char16_t* serial, std::uint8_t* clock7);
  int setRtc(const char16_t* serial, const std::uint8_t* clock7);
  int readFram(const char16_t* serial, std::uint8_t address, std::uint8_t count,
               std::uint8_t* data);
  int writeFram(const char16_t* serial, std::uint8_t address, std::uint8_t count,
                const std::uint8_t* data);
  int writeUsbSerial(const char16_t* serial, const std::uint8_t* data8);

 private:
  int readByte(const char16_t* serial, protocol::Command command, ReplyClearing clearing,
               std::uint8_t mask, std::uint8_t* out);

  std::shared_ptr<ControllerDirectory> directory_;
  seam::Clock& clock_;
  ControllerLocks& locks_;
  const StopSignal* stop_ = nullptr;
};

}  // namespace korvex::controller
