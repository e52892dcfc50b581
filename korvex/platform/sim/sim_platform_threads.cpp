// SimPlatform's threads: each one a std::thread running entry(argument).
//
// A std::thread cannot be killed. terminateThread on a thread that has
// begun therefore only abandons it: it is detached, no longer waited for or
// counted when settling, and waitThreadFinished reports it ended; the
// thread itself runs on until its entry returns. A thread held back by
// holdNewThreads that is terminated never runs its entry. The platform's
// destructor waits for every thread it started to end.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_platform_impl.h"
#include "korvex/platform/sim/sim_thread_context.h"

namespace korvex::sim {

namespace {

// A new thread begins within microseconds; this bound only keeps a thread
// that cannot begin (a loader lock held by the caller) from stalling the
// question for long.
constexpr std::chrono::milliseconds kStartWait{2000};

// How long the destructor gives threads that are still running to end.
constexpr std::chrono::milliseconds kEndWait{10000};

}  // namespace

// ---- Impl ----

void SimPlatform::Impl::runThread(const std::shared_ptr<SimThread>& t) {
  bool begins = false;
  {
    std::unique_lock lock(mutex);
    changed.wait(lock, [&] { return !t->held || t->terminated; });
    begins = !t->terminated;
    t->started = begins;
    changed.notify_all();
  }
  if (begins) {
    const SimThreadScope scope(this, t.get());
    t->entry(t->argument);
  }
  // Reported under the lock, and nothing of the caller's runs afterwards.
  const std::lock_guard lock(mutex);
  t->finished = begins;
  std::erase(roster, t);
  changed.notify_all();
}

void SimPlatform::Impl::releaseThread(std::unique_lock<std::mutex>& lock, platform::Handle h) {
  const auto it = threads.find(h);
  if (it == threads.end()) return;
  ThreadSlot slot = std::move(it->second);
  threads.erase(it);
  handles.erase(h);
  ++counts.closes;
  if (!slot.thread.joinable()) return;
  if (slot.state->finished) {
    // Its last step under the lock is done; joining waits only for the
    // std::thread to return.
    lock.unlock();
    slot.thread.join();
    lock.lock();
  } else {
    // Released while it runs: it goes on without a handle, as on Windows.
    slot.thread.detach();
  }
}

void SimPlatform::Impl::endThreads() {
  std::map<platform::Handle, ThreadSlot> left;
  {
    std::unique_lock lock(mutex);
    for (const auto& t : roster) {
      if (!t->started) t->terminated = true;  // never to begin now
    }
    changed.notify_all();
    if (!changed.wait_for(lock, kEndWait, [&] { return roster.empty(); })) {
      std::fprintf(stderr,
                   "korvex sim: a thread started on the simulated platform is still running "
                   "as the platform is destroyed\n");
      std::abort();
    }
    left.swap(threads);
  }
  for (auto& [h, slot] : left) {
    if (slot.thread.joinable()) slot.thread.join();
  }
}

// ---- Threads ----

platform::Handle SimPlatform::startThread(ThreadEntry entry, void* argument) {
  if (entry == nullptr) return platform::kNoHandle;
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  if (impl.failThreadStarts) return platform::kNoHandle;
  auto state = std::make_shared<SimThread>();
  state->entry = entry;
  state->argument = argument;
  state->held = impl.holdThreads;
  std::thread thread;
  try {
    // It begins by taking the lock, so it finds itself in the roster.
    thread = std::thread([owner = &impl, state] { owner->runThread(state); });
  } catch (const std::system_error&) {
    return platform::kNoHandle;
  }
  impl.roster.push_back(state);
  ++impl.counts.threadStarts;
  const platform::Handle h = impl.open(OpenHandle::Kind::Thread, u"");
  impl.threads.emplace(h, ThreadSlot{std::move(state), std::move(thread)});
  return h;
}

bool SimPlatform::threadStarted(platform::Handle thread) {
  std::unique_lock lock(impl_->mutex);
  const auto it = impl_->threads.find(thread);
  if (it == impl_->threads.end()) return false;
  const std::shared_ptr<SimThread> t = it->second.state;
  impl_->changed.wait_for(lock, kStartWait, [&] { return t->started || t->terminated || t->held; });
  return t->started;
}

bool SimPlatform::waitThreadFinished(platform::Handle thread, std::uint32_t milliseconds) {
  std::unique_lock lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto it = impl.threads.find(thread);
  if (it == impl.threads.end()) return false;
  const std::shared_ptr<SimThread> t = it->second.state;
  const auto ended = [&] { return t->finished || t->terminated; };

  const bool endless = milliseconds == kInfinite && !impl.threadWaitLimit;
  bool done = false;
  if (endless) {
    impl.changed.wait(lock, ended);
    done = true;
  } else {
    std::chrono::milliseconds limit(milliseconds);
    if (impl.threadWaitLimit) limit = std::min(limit, *impl.threadWaitLimit);
    done = impl.changed.wait_for(lock, limit, ended);
  }
  if (!done && milliseconds != kInfinite && impl.clock.isVirtual()) {
    // The time-out took its time on the platform's clock too.
    impl.clock.advance(milliseconds);
    impl.timeMoved();
  }
  return done;
}

void SimPlatform::terminateThread(platform::Handle thread) {
  const std::lock_guard lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto it = impl.threads.find(thread);
  if (it == impl.threads.end()) return;
  ThreadSlot& slot = it->second;
  if (slot.state->finished || slot.state->terminated) return;
  slot.state->terminated = true;
  ++impl.counts.threadTerminations;
  if (slot.thread.joinable()) slot.thread.detach();
  impl.changed.notify_all();
}

void SimPlatform::releaseThread(platform::Handle thread) {
  std::unique_lock lock(impl_->mutex);
  impl_->releaseThread(lock, thread);
}

void SimPlatform::failThreadStarts(bool fail) {
  const std::lock_guard lock(impl_->mutex);
  impl_->failThreadStarts = fail;
}

void SimPlatform::holdNewThreads(bool hold) {
  const std::lock_guard lock(impl_->mutex);
  impl_->holdThreads = hold;
  if (hold) return;
  for (const auto& t : impl_->roster) t->held = false;
  impl_->changed.notify_all();
}

void SimPlatform::limitThreadWaits(std::optional<std::chrono::milliseconds> limit) {
  const std::lock_guard lock(impl_->mutex);
  impl_->threadWaitLimit = limit;
}

}  // namespace korvex::sim
