#include "korvex/common/stop_signal.h"

namespace korvex {

void StopSignal::raise() {
  {
    const std::lock_guard lock(mutex_);
    raised_ = true;
  }
  changed_.notify_all();
}

void StopSignal::reset() {
  const std::lock_guard lock(mutex_);
  raised_ = false;
}

bool StopSignal::raised() const {
  const std::lock_guard lock(mutex_);
  return raised_;
}

bool StopSignal::waitFor(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [this] { return raised_; });
}

}  // namespace korvex
