// SimPlatform's events, and the controls that let a test move the virtual
// clock and wait until the platform's threads have caught up with it.
//
// One condition variable serves every wait: it is notified whenever an
// event is set, the virtual clock moves, or a thread starts, blocks or
// ends, and every waiter checks its own condition again.
#include <algorithm>
#include <cstdio>
#include <limits>

#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_platform_impl.h"
#include "korvex/platform/sim/sim_thread_context.h"

namespace korvex::sim {

// ---- Impl ----

void SimPlatform::Impl::timeMoved() {
  if (!waits.empty()) changed.notify_all();
}

bool SimPlatform::Impl::blocked(const EventWait& w) const {
  if (w.event->set) return false;
  if (w.endless) return true;
  if (w.onVirtualClock) return clock.virtualNow() < w.virtualDeadline;
  return std::chrono::steady_clock::now() < w.realDeadline;
}

bool SimPlatform::Impl::settled() const {
  return std::all_of(roster.begin(), roster.end(), [&](const std::shared_ptr<SimThread>& t) {
    if (t->finished || t->terminated || t->held) return true;
    return t->waiting != nullptr && blocked(*t->waiting);
  });
}

bool SimPlatform::Impl::settleUntil(std::unique_lock<std::mutex>& lock,
                                    std::chrono::steady_clock::time_point deadline) {
  if (changed.wait_until(lock, deadline, [&] { return settled(); })) return true;
  // Said here too, for callers that go on without looking.
  std::fprintf(stderr,
               "korvex sim: the platform's threads did not settle in time (one is running, or "
               "blocked other than in waitEvent)\n");
  return false;
}

// ---- Events ----

platform::Handle SimPlatform::createEvent() {
  std::lock_guard lock(impl_->mutex);
  const platform::Handle h = impl_->open(OpenHandle::Kind::Event, u"");
  impl_->events.emplace(h, std::make_shared<SimEvent>());
  return h;
}

void SimPlatform::setEvent(platform::Handle event) {
  std::lock_guard lock(impl_->mutex);
  const auto it = impl_->events.find(event);
  if (it == impl_->events.end()) return;
  it->second->set = true;
  impl_->changed.notify_all();
}

void SimPlatform::resetEvent(platform::Handle event) {
  std::lock_guard lock(impl_->mutex);
  const auto it = impl_->events.find(event);
  if (it != impl_->events.end()) it->second->set = false;
}

bool SimPlatform::waitEvent(platform::Handle event, std::uint32_t milliseconds) {
  std::unique_lock lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto it = impl.events.find(event);
  if (it == impl.events.end()) return false;  // WAIT_FAILED
  EventWait wait;
  wait.event = it->second;
  if (wait.event->set) return true;
  if (milliseconds == 0) return false;

  wait.endless = milliseconds == kInfinite;
  wait.onVirtualClock = impl.clock.isVirtual();
  wait.virtualDeadline = impl.clock.virtualNow() + milliseconds;
  wait.realDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);

  SimThread* const self = currentSimThread(&impl);
  impl.waits.push_back(&wait);
  if (self != nullptr) self->waiting = &wait;
  impl.changed.notify_all();  // a settle may be waiting for this thread to block

  const auto done = [&] { return !impl.blocked(wait); };
  if (wait.endless || wait.onVirtualClock) {
    impl.changed.wait(lock, done);
  } else {
    impl.changed.wait_until(lock, wait.realDeadline, done);
  }

  if (self != nullptr) self->waiting = nullptr;
  std::erase(impl.waits, &wait);
  return wait.event->set;
}

// ---- Threads and time ----

bool SimPlatform::settle(std::chrono::milliseconds realTimeout) {
  std::unique_lock lock(impl_->mutex);
  return impl_->settleUntil(lock, std::chrono::steady_clock::now() + realTimeout);
}

bool SimPlatform::advanceAndSettle(std::uint32_t milliseconds,
                                   std::chrono::milliseconds realTimeout) {
  const auto realDeadline = std::chrono::steady_clock::now() + realTimeout;
  std::unique_lock lock(impl_->mutex);
  Impl& impl = *impl_;
  if (!impl.settleUntil(lock, realDeadline)) return false;
  if (!impl.clock.isVirtual()) return true;

  const std::uint64_t end = impl.clock.virtualNow() + milliseconds;
  for (;;) {
    // The next wait to time out within the span, of any thread.
    std::uint64_t next = std::numeric_limits<std::uint64_t>::max();
    for (const EventWait* w : impl.waits) {
      if (w->onVirtualClock && !w->endless && impl.blocked(*w)) {
        next = std::min(next, w->virtualDeadline);
      }
    }
    const bool last = next > end;
    impl.clock.advanceTo(last ? end : next);
    impl.changed.notify_all();
    if (!impl.settleUntil(lock, realDeadline)) return false;
    if (last) return true;
  }
}

bool SimPlatform::waitForWaiters(std::size_t n, std::chrono::milliseconds realTimeout) {
  std::unique_lock lock(impl_->mutex);
  Impl& impl = *impl_;
  return impl.changed.wait_for(lock, realTimeout, [&] {
    const auto blockedHere =
        std::count_if(impl.waits.begin(), impl.waits.end(),
                      [&](const EventWait* w) { return w->onVirtualClock && impl.blocked(*w); });
    return static_cast<std::size_t>(blockedHere) >= n;
  });
}

}  // namespace korvex::sim
