// The hub controller's protocol as the device speaks it: its identity, one
// 65-byte HID feature report per request and per reply (report ID 0), the
// command bytes and the reply time-outs. The library's controller link and
// the simulator's firmware both follow it; these constants live only here.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex::protocol {

inline constexpr std::uint16_t kControllerVendorId = 0x3A91;
inline constexpr std::uint16_t kControllerProductId = 0x0023;

// The controller sits on port 2 of its hub; the user's device on port 1.
inline constexpr std::uint8_t kControllerPort = 2;
inline constexpr std::uint8_t kDownstreamPort = 1;

inline constexpr std::size_t kReportSize = 65;
inline constexpr std::size_t kReportIdByte = 0;
inline constexpr std::size_t kCommandByte = 1;  // in a reply: the status or fault value
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

}  // namespace korvex::protocol
