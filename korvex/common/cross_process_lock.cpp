#include "korvex/common/cross_process_lock.h"

#include <algorithm>
#include <thread>

namespace korvex {

namespace {

// The wait between two tries: short at first, since a holder keeps the lock
// only for a read and a write, then at most 20 ms, so that a waiter never
// spins.
constexpr std::chrono::milliseconds kFirstPause{1};
constexpr std::chrono::milliseconds kLongestPause{20};

}  // namespace

CrossProcessLock::Outcome CrossProcessLock::lock(std::chrono::milliseconds timeout,
                                                 const StopSignal* stop) {
  if (held_) return Outcome::Taken;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  auto pause = kFirstPause;
  for (;;) {
    const Outcome outcome = tryOnce();
    if (outcome != Outcome::HeldElsewhere) {
      held_ = outcome == Outcome::Taken;
      return outcome;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return outcome;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    const auto wait = std::min(pause, left);
    if (stop != nullptr ? stop->waitFor(wait) : (std::this_thread::sleep_for(wait), false)) {
      return outcome;
    }
    pause = std::min(pause * 2, kLongestPause);
  }
}

}  // namespace korvex
