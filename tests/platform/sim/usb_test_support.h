// Helpers of the USB side's tests: I/O controls sent as the hub driver's
// callers send them, and the fields of their replies.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvex/platform/sim/sim_platform.h"
#include "korvex/topology/usb_ioctl.h"

namespace korvex::sim::test {

namespace topo = korvex::topology;

struct IoReply {
  bool ok = false;
  std::uint32_t returned = 0;
  std::vector<std::uint8_t> bytes;  // the whole buffer after the call

  std::uint8_t u8(std::size_t at) const { return bytes.at(at); }
  std::uint16_t u16(std::size_t at) const {
    return static_cast<std::uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
  }
  std::uint32_t u32(std::size_t at) const {
    return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
  }
  // count UTF-16 units from at.
  std::u16string units(std::size_t at, std::size_t count) const {
    std::u16string s;
    for (std::size_t i = 0; i < count; ++i) s += static_cast<char16_t>(u16(at + 2 * i));
    return s;
  }
};

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

inline IoReply ioctl(SimPlatform& p, platform::Handle h, std::uint32_t code,
                     std::vector<std::uint8_t> buffer) {
  IoReply r;
  r.ok = p.ioControl(h, code, buffer, r.returned);
  r.bytes = std::move(buffer);
  return r;
}

// A zeroed buffer of size bytes with ConnectionIndex set.
inline std::vector<std::uint8_t> forPort(std::uint32_t port, std::size_t size) {
  std::vector<std::uint8_t> b(size, 0);
  put32(b, 0, port);
  return b;
}

// A descriptor request for the port: size bytes in all, setup packet set.
inline std::vector<std::uint8_t> descriptorRequest(std::uint32_t port, std::uint16_t wValue,
                                                   std::uint16_t wIndex, std::uint16_t wLength,
                                                   std::size_t size) {
  namespace dr = topo::descriptor_request;
  std::vector<std::uint8_t> b = forPort(port, size);
  put16(b, dr::kWValue, wValue);
  put16(b, dr::kWIndex, wIndex);
  put16(b, dr::kWLength, wLength);
  return b;
}

}  // namespace korvex::sim::test
