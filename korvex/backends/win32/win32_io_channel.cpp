// I/O controls with a time-out.
//
// A hub driver may hold an I/O control indefinitely (a port stuck in
// enumeration, a driver waiting on a hung device). The watchdog that makes
// these calls must not hang with it, so the node is opened for overlapped
// I/O and each request waits at most the channel's time-out; then it is
// cancelled and fails. To its caller a request stays synchronous: control()
// returns once the request has completed or has been cancelled.
#include "korvex/backends/win32/win32_io_channel.h"

#include <windows.h>

#include <limits>
#include <string>

namespace korvex::win32 {

namespace {

// A manual-reset event for one overlapped request, closed on every way out.
class RequestEvent {
 public:
  RequestEvent() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~RequestEvent() {
    if (event_ != nullptr) CloseHandle(event_);
  }
  RequestEvent(const RequestEvent&) = delete;
  RequestEvent& operator=(const RequestEvent&) = delete;

  HANDLE get() const { return event_; }

 private:
  HANDLE event_;
};

class HandleChannel final : public IoControlChannel {
 public:
  HandleChannel(HANDLE device, std::uint32_t timeoutMs) : device_(device), timeoutMs_(timeoutMs) {}
  ~HandleChannel() override { CloseHandle(device_); }
  HandleChannel(const HandleChannel&) = delete;
  HandleChannel& operator=(const HandleChannel&) = delete;

  std::optional<std::size_t> control(std::uint32_t code, std::span<std::uint8_t> buffer) override {
    if (buffer.size() > std::numeric_limits<DWORD>::max()) return std::nullopt;
    const auto size = static_cast<DWORD>(buffer.size());
    RequestEvent event;
    if (event.get() == nullptr) return std::nullopt;
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.get();
    DWORD returned = 0;
    if (!DeviceIoControl(device_, code, buffer.data(), size, buffer.data(), size, &returned,
                         &overlapped)) {
      if (GetLastError() != ERROR_IO_PENDING) return std::nullopt;
      if (WaitForSingleObject(event.get(), timeoutMs_) != WAIT_OBJECT_0) {
        CancelIoEx(device_, &overlapped);
      }
    }
    // Waits for the request to finish: the driver owns the buffer until
    // then, also after a cancel. A cancelled request reports
    // ERROR_OPERATION_ABORTED.
    if (!GetOverlappedResult(device_, &overlapped, &returned, TRUE)) return std::nullopt;
    return returned <= size ? returned : size;
  }

 private:
  HANDLE device_;
  std::uint32_t timeoutMs_;
};

}  // namespace

std::unique_ptr<IoControlChannel> openIoChannel(std::u16string_view path, std::uint32_t timeoutMs) {
  // WCHAR and char16_t are both UTF-16 units: the copy is unit for unit.
  const std::wstring name(path.begin(), path.end());
  const HANDLE device = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (device == INVALID_HANDLE_VALUE) return nullptr;
  return adoptIoChannel(device, timeoutMs);
}

std::unique_ptr<IoControlChannel> adoptIoChannel(void* device, std::uint32_t timeoutMs) {
  return std::make_unique<HandleChannel>(device, timeoutMs);
}

}  // namespace korvex::win32
