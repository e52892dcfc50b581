// Host controllers and hubs: opening one and sending it an I/O control.
//
// A hub driver may hold an I/O control indefinitely (a port stuck in
// enumeration, a driver waiting on a hung device). The watchdog that makes
// these calls must not hang with it, so the node is opened for overlapped
// I/O and each request waits at most the platform's time-out; then it is
// cancelled and fails. To its caller ioControl stays synchronous: it returns
// once the request has completed or has been cancelled.
#include <windows.h>

#include <limits>
#include <string>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {
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

}  // namespace

Handle Win32Platform::openUsbNode(std::u16string_view path) {
  const std::wstring name = win32::toWide(path);
  return win32::fromHandle(CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr));
}

bool Win32Platform::ioControl(Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                              std::uint32_t& bytesReturned) {
  bytesReturned = 0;
  if (buffer.size() > std::numeric_limits<DWORD>::max()) return false;
  const auto size = static_cast<DWORD>(buffer.size());

  RequestEvent event;
  if (event.get() == nullptr) return false;
  OVERLAPPED overlapped{};
  overlapped.hEvent = event.get();

  const HANDLE device = win32::toHandle(h);
  DWORD returned = 0;
  if (!DeviceIoControl(device, code, buffer.data(), size, buffer.data(), size, &returned,
                       &overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) return false;
    if (WaitForSingleObject(event.get(), usbIoTimeoutMs_) != WAIT_OBJECT_0) {
      CancelIoEx(device, &overlapped);
    }
  }
  // Waits for the request to finish: the driver owns the buffer until then,
  // also after a cancel. A cancelled request reports ERROR_OPERATION_ABORTED.
  if (!GetOverlappedResult(device, &overlapped, &returned, TRUE)) return false;
  bytesReturned = returned <= size ? returned : size;
  return true;
}

}  // namespace korvex::platform
