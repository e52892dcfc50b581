// Threads that a library may start and still be unloaded after.
//
// A thread holds a reference to the module its start routine lives in for
// as long as it runs, and drops it with its very last act,
// FreeLibraryAndExitThread, which never returns into the module. So the
// library is never unmapped under a running thread, and an unload never
// has to wait, holding the loader lock, for a thread that may itself need
// that lock (a check cycle's calls into system libraries can). A
// FreeLibrary while the thread runs therefore leaves the library loaded,
// and working, until the thread is stopped; at process exit the system
// ends the thread first.
//
// A new thread runs the process's thread-attach handling before its start
// routine, and that needs the loader lock: a thread created during a load
// starts only after the load returns.
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
  HMODULE module = nullptr;   // the thread's reference to its module
  std::atomic<bool> started{false};
  std::atomic<bool> moduleHandedOver{false};  // the thread drops the reference itself

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
  // Once finished is set, the record may be freed by the thread's owner.
  const HMODULE module = record->module;
  record->moduleHandedOver.store(true);
  SetEvent(record->finished);
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

Handle Win32Platform::startThread(ThreadEntry entry, void* argument) {
  auto record = std::make_unique<ThreadRecord>();
  record->entry = entry;
  record->argument = argument;
  record->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (record->finished == nullptr) return kNoHandle;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&threadStart), &record->module)) {
    return kNoHandle;
  }
  record->thread = CreateThread(nullptr, 0, &threadStart, record.get(), 0, nullptr);
  if (record->thread == nullptr) {
    FreeLibrary(record->module);
    return kNoHandle;
  }
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
  // A thread ended by force never reached its own FreeLibraryAndExitThread.
  if (!record->moduleHandedOver.load()) FreeLibrary(record->module);
}

}  // namespace korvex::platform
