// A thread of the library that can be asked whether it has begun, waited
// for with a time-out and, as a last resort, ended from outside.
//
// On Windows the thread holds a reference to the module it runs in for as
// long as it runs and drops it with its very last act, so an unload never
// unmaps the library under a running thread (worker_thread_win32.cpp explains why).
#pragma once

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
  // created, or one is held already.
  bool start(std::function<void()> body);

  // Whether a thread is held (started and not yet released or forgotten).
  bool exists() const { return record_ != nullptr; }

  // Waits up to the time given for body to have returned. True when it has.
  bool waitFinished(std::chrono::milliseconds timeout);

  // Ends a thread that has not begun, so that it never runs body. False,
  // doing nothing, when it has begun already. On Windows a new thread
  // cannot begin while the loader lock is held, so during an unload this
  // is how a thread created by the load is ended.
  bool cancel();

  // The last resort for a thread that does not end: on Windows it is ended
  // forcibly (TerminateThread); elsewhere it is left to finish by itself.
  void terminate();

  // Lets go of a thread that has finished or been terminated.
  void release();

  // Lets go of the thread without touching it: at process exit, when the
  // system has ended it already.
  void forget();

  struct Record;  // the system's half, in worker_thread_win32.cpp or _posix.cpp

 private:
  std::shared_ptr<Record> record_;
};

}  // namespace korvex
