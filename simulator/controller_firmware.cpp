#include "simulator/controller_firmware.h"

#include <algorithm>
#include <span>

namespace korvex::sim {

namespace {

using protocol::Command;
using protocol::kDataOffset;
using protocol::kMaxDataBytes;

// Copies up to count bytes (never more than one report's data) from memory
// at address into the reply's data; bytes beyond the memory read as 0.
void readInto(Report& reply, std::span<const std::uint8_t> memory, std::size_t address,
              std::size_t count) {
  const std::size_t n = std::min(count, kMaxDataBytes);
  for (std::size_t i = 0; i < n && address + i < memory.size(); ++i) {
    reply[kDataOffset + i] = memory[address + i];
  }
}

// Writes up to count bytes of the request's data into memory at address;
// bytes that would fall beyond the memory are dropped.
void writeFrom(const Report& request, std::span<std::uint8_t> memory, std::size_t address,
               std::size_t count) {
  const std::size_t n = std::min(count, kMaxDataBytes);
  for (std::size_t i = 0; i < n && address + i < memory.size(); ++i) {
    memory[address + i] = request[kDataOffset + i];
  }
}

}  // namespace

FirmwareOutcome runRequest(ControllerState& state, const Report& request,
                           std::optional<std::uint8_t> statusReply) {
  FirmwareOutcome out;
  const std::uint8_t first = request[protocol::kFirstArgument];
  const std::uint8_t second = request[protocol::kSecondArgument];
  std::uint8_t& value = out.reply[protocol::kCommandByte];
  switch (static_cast<Command>(request[protocol::kCommandByte])) {
    case Command::GetStatus:
      value = statusReply ? *statusReply : static_cast<std::uint8_t>(state.power ? 1 : 0);
      break;
    case Command::SetStatus:
      state.power = (first & 1) != 0;
      out.switchPower = state.power;
      out.stateChanged = true;
      break;
    case Command::SetReset:
      state.resetValues.push_back(first);
      out.stateChanged = true;
      break;
    case Command::GetFault:
      value = state.fault;
      break;
    case Command::GetRtc:
      readInto(out.reply, state.registers, first, second);
      break;
    case Command::SetRtc:
      writeFrom(request, state.registers, first, second);
      out.stateChanged = true;
      break;
    case Command::WriteFram:
      writeFrom(request, state.fram, first, second);
      out.stateChanged = true;
      break;
    case Command::ReadFram:
      readInto(out.reply, state.fram, first, second);
      break;
    case Command::WriteUsbSerial:
      std::copy_n(request.begin() + kDataOffset, state.usbSerial.size(), state.usbSerial.begin());
      out.stateChanged = true;
      break;
    case Command::PicWrite:
      state.picWriteSteps.push_back(first);
      out.stateChanged = true;
      break;
    default:
      break;  // unknown commands are answered with an empty reply
  }
  return out;
}

}  // namespace korvex::sim
