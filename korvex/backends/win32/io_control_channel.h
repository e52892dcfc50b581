// An open host controller or hub as its driver's I/O controls reach it. The
// Windows backend sends them with DeviceIoControl; tests and fuzz targets
// answer them from byte fixtures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace korvex::win32 {

class IoControlChannel {
 public:
  virtual ~IoControlChannel() = default;

  // Sends the I/O control with buffer as both input and output. The number
  // of bytes the driver returned into buffer (never more than its size), or
  // nullopt when the request failed.
  virtual std::optional<std::size_t> control(std::uint32_t code,
                                             std::span<std::uint8_t> buffer) = 0;
};

}  // namespace korvex::win32
