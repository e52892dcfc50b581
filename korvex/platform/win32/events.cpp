// Events: manual-reset, unnamed, waited on with a time-out.
#include <windows.h>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {

Handle Win32Platform::createEvent() {
  const HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  // CreateEventW reports failure as a null handle, the seam as kNoHandle.
  return event != nullptr ? win32::fromHandle(event) : kNoHandle;
}

void Win32Platform::setEvent(Handle event) {
  SetEvent(win32::toHandle(event));
}

void Win32Platform::resetEvent(Handle event) {
  ResetEvent(win32::toHandle(event));
}

bool Win32Platform::waitEvent(Handle event, std::uint32_t milliseconds) {
  return WaitForSingleObject(win32::toHandle(event), milliseconds) == WAIT_OBJECT_0;
}

}  // namespace korvex::platform
