// The controller's protocol: one 65-byte HID feature report per request and
// per reply, report ID 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex::controller {

inline constexpr std::uint16_t kControllerVendorId = 0x3A91;
inline constexpr std::uint16_t kControllerProductId = 0x0023;

inline constexpr std::size_t kReportSize = 65;
inline constexpr std::size_t kCommandByte = 1;
inline constexpr std::size_t kFirstArgument = 2;
inline constexpr std::size_t kSecondArgument = 3;
inline constexpr std::size_t kDataOffset = 9;
inline constexpr std::size_t kMaxDataBytes = 32;

inline constexpr std::uint32_t kReplyTimeoutMs = 5000;
inline constexpr std::uint32_t kResetReplyTimeoutMs = 1000;

enum class Command : std::uint8_t {
  GetStatus = 0x21,
  SetStatus = 0x22,
  SetReset = 0x23,
  GetFault = 0x24,
  GetRtc = 0x26,
  SetRtc = 0x27,
  WriteFram = 0x28,
  ReadFram = 0x29,
  WriteUsbSerial = 0x30,
  PicWrite = 0xFE,
};

// Byte 0 report ID, byte 1 command (or the reply value), bytes 2 and 3
// arguments, bytes 9..40 data. Bytes the protocol gives no meaning are 0.
struct ControllerReport {
  std::array<std::uint8_t, kReportSize> bytes{};

  static ControllerReport request(Command command, std::uint8_t first = 0, std::uint8_t second = 0,
                                  std::span<const std::uint8_t> data = {});

  std::span<const std::uint8_t> data(std::size_t count) const {
    return std::span<const std::uint8_t>(bytes).subspan(kDataOffset, count);
  }
};
static_assert(sizeof(ControllerReport) == kReportSize);

}  // namespace korvex::controller
