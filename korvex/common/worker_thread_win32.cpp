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
// The thread shares its record with its owner, so an owner that lets go of
// a thread still running (one that did not finish in time) frees nothing
// the thread still uses.
#include <windows.h>

#include <algorithm>
#include <memory>

#include "korvex/common/worker_thread.h"

namespace korvex {

struct WorkerThread::Record {
  std::function<void()> body;
  HANDLE thread = nullptr;
  HANDLE finished = nullptr;  // manual-reset, set when body has returned
  HMODULE module = nullptr;   // the thread's reference to its module

  ~Record() {
    if (thread != nullptr) CloseHandle(thread);
    if (finished != nullptr) CloseHandle(finished);
  }
};

namespace {

using SharedRecord = std::shared_ptr<WorkerThread::Record>;

DWORD WINAPI threadStart(LPVOID parameter) {
  SharedRecord record =
      std::move(*std::unique_ptr<SharedRecord>(static_cast<SharedRecord*>(parameter)));
  try {
    record->body();
  } catch (...) {
    // Nothing may escape a thread; the body has ended all the same.
  }
  const HMODULE module = record->module;
  SetEvent(record->finished);
  record.reset();  // the last owner frees the record while the module is still there
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

bool WorkerThread::start(std::function<void()> body) {
  if (exists() || startsFail_.load()) return false;
  auto record = std::make_shared<Record>();
  record->body = std::move(body);
  record->finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (record->finished == nullptr) return false;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&threadStart), &record->module)) {
    return false;
  }
  // The thread's own share of the record, handed over through the start
  // routine's one parameter.
  auto share = std::make_unique<SharedRecord>(record);
  record->thread = CreateThread(nullptr, 0, &threadStart, share.get(), 0, nullptr);
  if (record->thread == nullptr) {
    FreeLibrary(record->module);
    return false;
  }
  static_cast<void>(share.release());  // now the thread's
  record_ = std::move(record);
  return true;
}

bool WorkerThread::waitFinished(std::chrono::milliseconds timeout) {
  if (record_ == nullptr) return true;
  const auto ms =
      static_cast<DWORD>(std::min<std::chrono::milliseconds::rep>(timeout.count(), INFINITE - 1));
  return WaitForSingleObject(record_->finished, ms) == WAIT_OBJECT_0;
}

void WorkerThread::release() {
  // The thread drops its module reference itself, whenever it ends.
  record_.reset();
}

void WorkerThread::forget() {
  record_.reset();
}

}  // namespace korvex
