// Threads that a library may start and still be unloaded after.
//
// The thread's start routine lives in the library. When the library is
// unloaded, the unload waits (holding the loader lock) for the thread to
// report that it is finished and then lets the library be unmapped, so after
// that report the thread must not execute a single instruction of the
// library. The report is therefore the routine's last act, a tail call of
// SetEvent: SetEvent returns straight to the system's thread start-up code,
// which ends the thread. This file is always compiled with sibling-call
// optimization so that the call is a jump (see CMakeLists.txt). The
// thread-detach notifications of the ending thread take the loader lock, so
// they wait for a running unload and then no longer see the library.
//
// A new thread runs the library's thread-attach handling before its start
// routine, and that needs the loader lock: during an unload a thread that
// has not started yet cannot start, and threadStarted stays false.
#include <windows.h>

#include <atomic>
#include <memory>

#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {
namespace {

// What a seam thread handle stands for.
struct ThreadRecord {
  Platform::ThreadEntry entry = nullptr;
  void* argument = nullptr;
  HANDLE thread = nullptr;
  HANDLE finished = nullptr;  // manual-reset, set when entry has returned
  std::atomic<bool> started{false};

  ~ThreadRecord() {
    if (thread != nullptr) CloseHandle(thread);
    if (finished != nullptr) CloseHandle(finished);
  }
};

ThreadRecord* recordOf(Handle h) {
  return reinterpret_cast<ThreadRecord*>(h);
}

DWORD WINAPI threadStart(LPVOID parameter) {
  auto* record = static_cast<ThreadRecord*>(parameter);
  record->started.store(true);
  record->entry(record->argument);
  // Must stay a tail call: nothing of the library runs after the event is set.
  return static_cast<DWORD>(SetEvent(record->finished));
}

}  // namespace

Handle Win32Platform::startThread(ThreadEntry entry, void* argument) {
  auto record = std::make_unique<ThreadRecord>();
  record->entry = entry;
  record->argument = argument;
  record->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (record->finished == nullptr) return kNoHandle;
  record->thread = CreateThread(nullptr, 0, &threadStart, record.get(), 0, nullptr);
  if (record->thread == nullptr) return kNoHandle;
  // Owned by the seam handle from here; releaseThread takes it back.
  return reinterpret_cast<Handle>(record.release());
}

bool Win32Platform::threadStarted(Handle thread) {
  return recordOf(thread)->started.load();
}

bool Win32Platform::waitThreadFinished(Handle thread, std::uint32_t milliseconds) {
  return WaitForSingleObject(recordOf(thread)->finished, milliseconds) == WAIT_OBJECT_0;
}

void Win32Platform::terminateThread(Handle thread) {
  if (thread != kNoHandle) TerminateThread(recordOf(thread)->thread, 0);
}

void Win32Platform::releaseThread(Handle thread) {
  if (thread == kNoHandle) return;
  const std::unique_ptr<ThreadRecord> record(recordOf(thread));
}

}  // namespace korvex::platform
