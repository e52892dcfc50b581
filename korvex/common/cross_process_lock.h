// A lock that every process of the machine shares with every other one that
// names the same file and slot: the library's processes agree through it on
// who writes the store and whose watchdog acts.
//
// Windows: a named mutex, in the machine-wide namespace where the system
// allows it, named after the file's full path (case folded) and the slot.
// It is owned by a thread: the thread that took it releases it, and when
// that thread or its process ends without doing so, the next taker gets it.
// POSIX: an open-file-description lock on byte slot of "<file>.lock", owned
// by this object's own open of that file (so two objects exclude each other
// even within one process) and released when the process ends.
//
// The system object is made at the first lock, not at construction, so that
// nothing of it happens while a library is being loaded.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>

#include "korvex/common/stop_signal.h"

namespace korvex {

class CrossProcessLock {
 public:
  enum class Outcome {
    Taken,          // held by this object now
    HeldElsewhere,  // another holder kept it for the whole wait
    Unavailable,    // the system object cannot be had: nobody can be excluded
  };

  CrossProcessLock(std::filesystem::path file, unsigned slot);
  ~CrossProcessLock();
  CrossProcessLock(const CrossProcessLock&) = delete;
  CrossProcessLock& operator=(const CrossProcessLock&) = delete;

  // Takes the lock, waiting up to timeout (polling at a bounded rate, so a
  // stop given ends the wait early). Taking a lock this object holds
  // already returns Taken at once.
  Outcome lock(std::chrono::milliseconds timeout, const StopSignal* stop = nullptr);
  // Releases it when held; on Windows from the thread that took it.
  void unlock();
  bool held() const { return held_; }

  struct System;  // the system's half, in cross_process_lock_win32.cpp or _posix.cpp

 private:
  Outcome tryOnce();

  const std::filesystem::path file_;
  const unsigned slot_;
  std::unique_ptr<System> system_;
  bool held_ = false;
};

// Holds a lock for a scope, when it could be taken.
class CrossProcessHold {
 public:
  CrossProcessHold(CrossProcessLock& lock, std::chrono::milliseconds timeout,
                   const StopSignal* stop = nullptr)
      : lock_(lock), outcome_(lock.lock(timeout, stop)) {}
  ~CrossProcessHold() {
    if (outcome_ == CrossProcessLock::Outcome::Taken) lock_.unlock();
  }
  CrossProcessHold(const CrossProcessHold&) = delete;
  CrossProcessHold& operator=(const CrossProcessHold&) = delete;

  // Whether the scope may go on as if alone: taken, or nobody to exclude.
  bool mayProceed() const { return outcome_ != CrossProcessLock::Outcome::HeldElsewhere; }

 private:
  CrossProcessLock& lock_;
  const CrossProcessLock::Outcome outcome_;
};

}  // namespace korvex
