#include "korvex/platform/sim/controller_firmware.h"

#include <algorithm>
#include <span>

namespace korvex::sim {

namespace {

constexpr std::size_t kCommand = 1;
constexpr std::size_t kFirst = 2;
constexpr std::size_t kSecond = 3;
constexpr std::size_t kData = 9;
constexpr std::size_t kMaxData = 32;

enum : std::uint8_t {
  kGetStatus = 0x21,
  kSetStatus = 0x22,
  kSetReset = 0x23,
  kGetFault = 0x24,
  kReadRegisters = 0x26,
  kWriteRegisters = 0x27,
  kWriteFram = 0x28,
  kReadFram = 0x29,
  kWriteUsbSerial = 0x30,
  kPicWrite = 0xFE,
};

// Copies up to count bytes (never more than one report's data) from memory
// at address into the reply's data; bytes beyond the memory read as 0.
void readInto(Report& reply, std::span<const std::uint8_t> memory, std::size_t address,
              std::size_t count) {
  const std::size_t n = std::min(count, kMaxData);
  for (std::size_t i = 0; i < n && address + i < memory.size(); ++i) {
    reply[kData + i] = memory[address + i];
  }
}

// Writes up to count bytes of the request's data into memory at address;
// bytes that would fall beyond the memory are dropped.
void writeFrom(const Report& request, std::span<std::uint8_t> memory, std::size_t address,
               std::size_t count) {
  const std::size_t n = std::min(count, kMaxData);
  for (std::size_t i = 0; i < n && address + i < memory.size(); ++i) {
    memory[address + i] = request[kData + i];
  }
}

}  // namespace

FirmwareOutcome runRequest(ControllerState& state, const Report& request,
                           std::optional<std::uint8_t> statusReply) {
  FirmwareOutcome out;
  const std::uint8_t first = request[kFirst];
  const std::uint8_t second = request[kSecond];
  switch (request[kCommand]) {
    case kGetStatus:
      out.reply[1] = statusReply ? *statusReply : static_cast<std::uint8_t>(state.power ? 1 : 0);
      break;
    case kSetStatus:
      state.power = (first & 1) != 0;
      out.switchPower = state.power;
      out.stateChanged = true;
      break;
    case kSetReset:
      state.resetValues.push_back(first);
      out.stateChanged = true;
      break;
    case kGetFault:
      out.reply[1] = state.fault;
      break;
    case kReadRegisters:
      readInto(out.reply, state.registers, first, second);
      break;
    case kWriteRegisters:
      writeFrom(request, state.registers, first, second);
      out.stateChanged = true;
      break;
    case kWriteFram:
      writeFrom(request, state.fram, first, second);
      out.stateChanged = true;
      break;
    case kReadFram:
      readInto(out.reply, state.fram, first, second);
      break;
    case kWriteUsbSerial:
      std::copy_n(request.begin() + kData, state.usbSerial.size(), state.usbSerial.begin());
      out.stateChanged = true;
      break;
    case kPicWrite:
      state.picWriteSteps.push_back(first);
      out.stateChanged = true;
      break;
    default:
      break;  // unknown commands are answered with an empty reply
  }
  return out;
}

}  // namespace korvex::sim
