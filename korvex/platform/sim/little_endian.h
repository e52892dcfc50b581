// Little-endian field access in a caller's buffer. Reads past the end give
// 0 and writes past it are dropped, so no request can make the simulator
// touch memory outside the buffer it was handed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvex::sim::le {

inline std::uint8_t get8(std::span<const std::uint8_t> b, std::size_t at) {
  return at < b.size() ? b[at] : 0;
}

inline std::uint16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(get8(b, at) | (get8(b, at + 1) << 8));
}

inline std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(get16(b, at)) |
         (static_cast<std::uint32_t>(get16(b, at + 2)) << 16);
}

inline void put8(std::span<std::uint8_t> b, std::size_t at, std::uint8_t v) {
  if (at < b.size()) b[at] = v;
}

inline void put16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  put8(b, at, static_cast<std::uint8_t>(v & 0xFF));
  put8(b, at + 1, static_cast<std::uint8_t>(v >> 8));
}

inline void put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  put16(b, at, static_cast<std::uint16_t>(v & 0xFFFF));
  put16(b, at + 2, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace korvex::sim::le
