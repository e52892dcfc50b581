#include "korvex/common/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <list>

#include "korvex/common/worker_thread.h"

namespace korvex {

void runSideBySide(std::size_t count, std::size_t threads,
                   const std::function<void(std::size_t)>& task) {
  std::atomic<std::size_t> next{0};
  const auto takeTasks = [&] {
    for (std::size_t i = next++; i < count; i = next++) task(i);
  };
  // A list: a WorkerThread cannot move once started.
  std::list<WorkerThread> helpers;
  const std::size_t wanted = std::min(threads, count);
  for (std::size_t n = 1; n < wanted; ++n) {
    if (!helpers.emplace_back().start(takeTasks)) {
      helpers.pop_back();
      break;
    }
  }
  takeTasks();
  // The tasks use this frame, so every helper is waited for to the end:
  // each task ends by itself (a reply wait ends at its time-out).
  for (WorkerThread& helper : helpers) {
    while (!helper.waitFinished(std::chrono::hours(1))) {
    }
  }
}

}  // namespace korvex
