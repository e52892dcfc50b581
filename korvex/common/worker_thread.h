// A thread of the library that can be asked whether it has finished and
// waited for with a time-out. It is never ended from outside: a thread that
// does not finish in time is let go and ends by itself.
//
// On Windows the thread holds a reference to the module it runs in for as
// long as it runs and drops it with its very last act, so an unload never
// unmaps the library under a running thread (worker_thread_win32.cpp explains why).
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>

namespace korvex {

class WorkerThread {
 public:
  WorkerThread() = default;
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;
  ~WorkerThread() { release(); }

  // Starts body on a new thread at once. False when the thread cannot be
  // created, or one is held already. An exception that leaves body ends
  // there; the thread finishes as if body had returned.
  bool start(std::function<void()> body);

  // Whether a thread is held (started and not yet released or forgotten).
  bool exists() const { return record_ != nullptr; }

  // Waits up to the time given for body to have returned. True when it has.
  bool waitFinished(std::chrono::milliseconds timeout);

  // Lets go of the thread: joined when it has finished, else left to finish
  // by itself (it keeps what it needs).
  void release();

  // Lets go of the thread without touching it: at process exit, when the
  // system has ended it already.
  void forget();

  // For tests: while set, every start fails as when the system cannot
  // create a thread.
  static void failStartsForTesting(bool fail) { startsFail_.store(fail); }

  struct Record;  // the system's half, in worker_thread_win32.cpp or _posix.cpp

 private:
  static inline std::atomic<bool> startsFail_{false};
  std::shared_ptr<Record> record_;
};

}  // namespace korvex
