// Host controllers and hubs opened for their drivers' I/O controls.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "korvex/backends/win32/io_control_channel.h"

namespace korvex::win32 {

// How long one I/O control may take before it is cancelled and fails.
inline constexpr std::uint32_t kUsbIoTimeoutMs = 5000;

// CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, no security
// attributes, OPEN_EXISTING) for overlapped I/O; nullptr when the path does
// not open. Each request waits at most timeoutMs.
std::unique_ptr<IoControlChannel> openIoChannel(std::u16string_view path,
                                                std::uint32_t timeoutMs = kUsbIoTimeoutMs);

// A channel over a handle opened for overlapped I/O (a HANDLE), which it
// closes when destroyed.
std::unique_ptr<IoControlChannel> adoptIoChannel(void* device, std::uint32_t timeoutMs);

}  // namespace korvex::win32
