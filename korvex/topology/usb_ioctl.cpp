#include "korvex/topology/usb_ioctl.h"

namespace korvex::topology {

std::uint8_t readU8(std::span<const std::uint8_t> b, std::size_t at) {
  return at < b.size() ? b[at] : 0;
}

std::uint16_t readU16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(readU8(b, at) | (readU8(b, at + 1) << 8));
}

std::uint32_t readU32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(readU16(b, at)) |
         (static_cast<std::uint32_t>(readU16(b, at + 2)) << 16);
}

void writeU16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  if (at < b.size()) b[at] = static_cast<std::uint8_t>(v & 0xFF);
  if (at + 1 < b.size()) b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void writeU32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  writeU16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
  writeU16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace korvex::topology
