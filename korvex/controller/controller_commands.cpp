#include "korvex/controller/controller_commands.h"

#include <algorithm>
#include <array>
#include <span>
#include <vector>

#include "korvex/common/failure_reason.h"
#include "korvex/common/side_by_side.h"
#include "korvex/controller/controller_link.h"
#include "korvex/controller/controller_report.h"

namespace korvex::controller {

namespace {

using Bytes = std::span<const std::uint8_t>;
using protocol::Command;
using protocol::kCommandByte;
using protocol::kDataOffset;
using protocol::kMaxDataBytes;
using protocol::kReplyTimeoutMs;
using protocol::kResetReplyTimeoutMs;

constexpr auto kBadArgument = FailureReason::BadArgument;
// Only bit 0 of the status reply carries the power state.
constexpr std::uint8_t kPowerBit = 0x01;

}  // namespace

int ControllerCommands::readByte(const char16_t* serial, Command command, ReplyClearing clearing,
                                 std::uint8_t mask, std::uint8_t* out) {
  if (out == nullptr) return failWith(kBadArgument);
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  if (!session.exchange(ControllerReport::request(command), kReplyTimeoutMs, clearing)) return 0;
  *out = session.reply()[kCommandByte] & mask;
  return 1;
}

int ControllerCommands::getStatus(const char16_t* serial, std::uint8_t* status) {
  return readByte(serial, Command::GetStatus, ReplyClearing::ReportIdOnly, kPowerBit, status);
}

void ControllerCommands::getStatuses(std::span<const char16_t* const> serials,
                                     std::span<std::uint8_t> statuses) {
  const auto stopped = [this] { return stop_ != nullptr && stop_->raised(); };
  if (stopped()) return;
  std::vector<ControllerHandle> opened = directory_->openAll(serials);
  runSideBySide(serials.size(), kStatusReadThreads, [&](std::size_t i) {
    if (stopped()) return;
    ControllerSession session(std::move(opened[i]), clock_, locks_, serials[i], stop_);
    if (session.exchange(ControllerReport::request(Command::GetStatus), kReplyTimeoutMs,
                         ReplyClearing::ReportIdOnly)) {
      statuses[i] = session.reply()[kCommandByte] & kPowerBit;
    }
  });
}

int ControllerCommands::getFault(const char16_t* serial, std::uint8_t* fault) {
  return readByte(serial, Command::GetFault, ReplyClearing::WholeReport, 0xFF, fault);
}

int ControllerCommands::setStatus(const char16_t* serial, std::uint8_t status,
                                  std::uint32_t replyTimeoutMs) {
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  return session.exchange(ControllerReport::request(Command::SetStatus, status, status),
                          replyTimeoutMs, ReplyClearing::ReportIdOnly)
             ? 1
             : 0;
}

int ControllerCommands::setReset(const char16_t* serial, std::uint8_t value) {
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  if (!session.isOpen()) return 0;
  // The outcome of the exchange does not change the result: a controller
  // that resets may well not answer.
  session.exchange(ControllerReport::request(Command::SetReset, value), kResetReplyTimeoutMs,
                   ReplyClearing::ReportIdOnly);
  return 1;
}

int ControllerCommands::setPicWrite(const char16_t* serial) {
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  for (const std::uint8_t step : {std::uint8_t{0x5B}, std::uint8_t{0xE6}}) {
    if (!session.exchange(ControllerReport::request(Command::PicWrite, step), kReplyTimeoutMs,
                          ReplyClearing::WholeReport)) {
      return 0;
    }
  }
  return 1;
}

int ControllerCommands::getRtc(const char16_t* serial, std::uint8_t* clock7) {
  if (clock7 == nullptr) return failWith(kBadArgument);
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  if (!session.exchange(ControllerReport::request(Command::GetRtc, 0x00, kClockBytes),
                        kReplyTimeoutMs, ReplyClearing::WholeReport)) {
    return 0;
  }
  std::ranges::copy(session.reply().subspan(kDataOffset, kClockBytes), clock7);
  return 1;
}

int ControllerCommands::setRtc(const char16_t* serial, const std::uint8_t* clock7) {
  if (clock7 == nullptr) return failWith(kBadArgument);
  // The clock registers are written between two control-register writes
  // that frame the update.
  static constexpr std::array<std::uint8_t, 3> kBeginUpdate{0x08, 0x00, 0x01};
  static constexpr std::array<std::uint8_t, 1> kEndUpdate{0x01};
  const std::array<ControllerReport, 3> steps{
      ControllerReport::request(Command::SetRtc, 0x0D, 3, kBeginUpdate),
      ControllerReport::request(Command::SetRtc, 0x00, kClockBytes, Bytes(clock7, kClockBytes)),
      ControllerReport::request(Command::SetRtc, 0x0F, 1, kEndUpdate),
  };
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  for (const auto& step : steps) {
    if (!session.exchange(step, kReplyTimeoutMs, ReplyClearing::WholeReport)) return 0;
  }
  return 1;
}

int ControllerCommands::readFram(const char16_t* serial, std::uint8_t address, std::uint8_t count,
                                 std::uint8_t* data) {
  if (unsigned{address} + count > kFramLimit) return failWith(kBadArgument);
  if (data == nullptr && count != 0) return failWith(kBadArgument);
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  if (!session.isOpen()) return 0;
  for (unsigned done = 0; done < count;) {
    const auto chunk = static_cast<std::uint8_t>(std::min<unsigned>(kMaxDataBytes, count - done));
    const auto at = static_cast<std::uint8_t>(address + done);
    if (!session.exchange(ControllerReport::request(Command::ReadFram, at, chunk), kReplyTimeoutMs,
                          ReplyClearing::WholeReport)) {
      return 0;
    }
    std::ranges::copy(session.reply().subspan(kDataOffset, chunk), data + done);
    done += chunk;
  }
  return 1;
}

int ControllerCommands::writeFram(const char16_t* serial, std::uint8_t address, std::uint8_t count,
                                  const std::uint8_t* data) {
  if (unsigned{address} + count > kFramLimit) return failWith(kBadArgument);
  if (data == nullptr && count != 0) return failWith(kBadArgument);
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  if (!session.isOpen()) return 0;
  for (unsigned done = 0; done < count;) {
    const auto chunk = static_cast<std::uint8_t>(std::min<unsigned>(kMaxDataBytes, count - done));
    const auto at = static_cast<std::uint8_t>(address + done);
    if (!session.exchange(
            ControllerReport::request(Command::WriteFram, at, chunk, Bytes(data + done, chunk)),
            kReplyTimeoutMs, ReplyClearing::WholeReport)) {
      return 0;
    }
    done += chunk;
  }
  return 1;
}

int ControllerCommands::writeUsbSerial(const char16_t* serial, const std::uint8_t* data8) {
  if (data8 == nullptr) return failWith(kBadArgument);
  ControllerSession session(*directory_, clock_, locks_, serial, stop_);
  return session.exchange(ControllerReport::request(Command::WriteUsbSerial, 0, 0,
                                                    Bytes(data8, kUsbSerialBytes)),
                          kReplyTimeoutMs, ReplyClearing::WholeReport)
             ? 1
             : 0;
}

}  // namespace korvex::controller
