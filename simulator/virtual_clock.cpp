#include "simulator/virtual_clock.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace korvex::sim {

namespace {

// How often a blocked wait looks at its stop signal, which cannot wake it.
constexpr std::chrono::milliseconds kStopPoll{2};

}  // namespace

void VirtualClock::start(std::uint32_t startTick, std::uint32_t step, bool waitsAdvance) {
  const std::lock_guard lock(mutex_);
  now_ = startTick;
  step_ = step;
  waitsAdvance_ = waitsAdvance;
  changed_.notify_all();
}

std::uint32_t VirtualClock::tick() {
  const std::lock_guard lock(mutex_);
  const auto now = static_cast<std::uint32_t>(now_);
  moveTo(now_ + step_);
  return now;
}

std::uint32_t VirtualClock::peek() const {
  const std::lock_guard lock(mutex_);
  return static_cast<std::uint32_t>(now_);
}

void VirtualClock::advance(std::uint32_t milliseconds) {
  const std::lock_guard lock(mutex_);
  moveTo(now_ + milliseconds);
}

bool VirtualClock::blocked(const Wait& w) const {
  return now_ < w.deadline && !w.stop->raised();
}

std::size_t VirtualClock::blockedCount() const {
  return static_cast<std::size_t>(
      std::count_if(waits_.begin(), waits_.end(), [&](const Wait* w) { return blocked(*w); }));
}

void VirtualClock::moveTo(std::uint64_t when) {
  if (when <= now_) return;
  now_ = when;
  if (!waits_.empty()) changed_.notify_all();
}

bool VirtualClock::wait(std::uint32_t milliseconds, const StopSignal& stop) {
  std::unique_lock lock(mutex_);
  if (stop.raised()) return true;
  if (waitsAdvance_) {
    moveTo(now_ + milliseconds);
    return false;
  }
  const Wait wait{now_ + milliseconds, &stop, milliseconds};
  if (!blocked(wait)) return false;
  waits_.push_back(&wait);
  changed_.notify_all();  // waitForWaiters may be waiting for this one
  while (blocked(wait)) changed_.wait_for(lock, kStopPoll);
  std::erase(waits_, &wait);
  changed_.notify_all();  // advanceAndSettle may be waiting for this one
  return stop.raised();
}

bool VirtualClock::advanceAndSettle(std::uint32_t milliseconds,
                                    std::chrono::milliseconds realTimeout) {
  const auto realDeadline = std::chrono::steady_clock::now() + realTimeout;
  std::unique_lock lock(mutex_);
  const std::uint64_t end = now_ + milliseconds;
  if (waitsAdvance_) {
    moveTo(end);
    return true;
  }
  for (;;) {
    // The next wait to end within the span, of any thread.
    const std::size_t before = blockedCount();
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (const Wait* w : waits_) {
      if (blocked(*w)) next = std::min(next, w->deadline);
    }
    if (next > end) {
      moveTo(end);
      return true;
    }
    moveTo(next);
    // The woken threads run their round until they wait again. The
    // predicate is looked at every poll interval too: a stop raised
    // meanwhile notifies nobody.
    while (blockedCount() < before) {
      if (std::chrono::steady_clock::now() >= realDeadline) {
        std::fprintf(stderr,
                     "korvex sim: the waiting threads did not wait again in time (%zu of %zu "
                     "waiting)\n",
                     blockedCount(), before);
        return false;
      }
      changed_.wait_for(lock, kStopPoll);
    }
  }
}

bool VirtualClock::waitForWaiters(std::size_t n, std::chrono::milliseconds realTimeout) {
  const auto realDeadline = std::chrono::steady_clock::now() + realTimeout;
  std::unique_lock lock(mutex_);
  while (blockedCount() < n) {
    if (std::chrono::steady_clock::now() >= realDeadline) return false;
    changed_.wait_for(lock, kStopPoll);
  }
  return true;
}

std::size_t VirtualClock::blockedWaitsOf(std::uint32_t milliseconds) const {
  const std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(waits_.begin(), waits_.end(), [&](const Wait* w) {
    return w->length == milliseconds && blocked(*w);
  }));
}

}  // namespace korvex::sim
