// Why the calling thread's current call failed. The code that finds out
// what went wrong records the reason where it knows it (the controller
// link, the list, the watchdog's control); the exports clear it on success
// and hand it to the caller through Hub_GetLastError. One per thread, so
// the watchdog's failures never show in the program's calls.
#pragma once

namespace korvex {

// The values of korvex.h's KORVEX_ERROR_ constants.
enum class FailureReason : int {
  None = 0,
  NoSuchController = 1,  // no controller with the serial among the HID interfaces
  NoReply = 2,           // the request went out, no reply came in time
  DeviceError = 3,       // a device call failed: the list, an open, a request, the report length
  BadArgument = 4,       // a null pointer, a range beyond the FRAM
  NoSuchHub = 5,         // the scan found no such hub
  NoMoreEntries = 6,     // a table or the list has no (further) entry
  ListFull = 7,
  NotListed = 8,
  AlreadyRunning = 9,
  NotRunning = 10,
  ThreadFailed = 11,
  Internal = 12,  // an exception, or a failure that recorded no reason
};

void setFailureReason(FailureReason reason) noexcept;
FailureReason failureReason() noexcept;

// Records reason and returns 0, the exports' failure: `return failWith(...)`.
inline int failWith(FailureReason reason) noexcept {
  setFailureReason(reason);
  return 0;
}

}  // namespace korvex
