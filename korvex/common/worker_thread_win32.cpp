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

#include "korvex/common/worker_thread.h"

namespace korvex {

struct WorkerThread::Record {
  std::function<void()> body;
  HANDLE thread = nullptr;
  HANDLE finished = nullptr;  // manual-reset, set when body has returned
  HMODULE module = nullptr;   // the thread's reference to its module
  std::atomic<bool> started{false};
  std::atomic<bool> moduleHandedOver{false};  // the thread drops the reference itself

  ~Record() {
    if (thread != nullptr) CloseHandle(thread);
    if (finished != nullptr) CloseHandle(finished);
  }
};

namespace {

DWORD WINAPI threadStart(LPVOID parameter) {
  auto* record = static_cast<WorkerThread::Record*>(parameter);
  record->started.store(true);
  record->body();
  // Once finished is set, the record may be freed by the thread's owner.
  const HMODULE module = record->module;
  record->moduleHandedOver.store(true);
  SetEvent(record->finished);
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool WorkerThread::start(std::function<void()> body) {
  if (exists()) return false;
  auto record = std::make_shared<Record>();
  record->body = std::move(body);
  record->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (record->finished == nullptr) return false;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&threadStart), &record->module)) {
    return false;
  }
  record->thread = CreateThread(nullptr, 0, &threadStart, record.get(), 0, nullptr);
  if (record->thread == nullptr) {
    FreeLibrary(record->module);
    return false;
  }
  record_ = std::move(record);
  return true;
}

bool WorkerThread::waitFinished(std::chrono::milliseconds timeout) {
  if (record_ == nullptr) return true;
  const auto ms =
      static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(timeout.count(), INFINITE - 1));
  return WaitForSingleObject(record_->finished, ms) == WAIT_OBJECT_0;
}

bool WorkerThread::cancel() {
  if (record_ == nullptr || record_->started.load()) return false;
  // Held back by the loader lock, it has run none of the library's code;
  // ended now, it never will.
  TerminateThread(record_->thread, 0);
  return true;
}

void WorkerThread::terminate() {
  if (record_ != nullptr) TerminateThread(record_->thread, 0);
}

void WorkerThread::release() {
  if (record_ == nullptr) return;
  // A thread ended by force never reached its own FreeLibraryAndExitThread.
  if (!record_->moduleHandedOver.load()) FreeLibrary(record_->module);
  record_.reset();
}

void WorkerThread::forget() {
  record_.reset();
}

}  // namespace korvex
