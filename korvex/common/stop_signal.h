// A one-way signal that ends waits early: raised by the thread that stops a
// worker, waited on by the worker. Reset only when nothing waits on it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace korvex {

class StopSignal {
 public:
  void raise();
  void reset();
  bool raised() const;

  // Waits up to the real time given for the signal. True when it is raised.
  bool waitFor(std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace korvex
