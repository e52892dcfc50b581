#include "korvex/common/side_by_side.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <list>
#include <memory>
#include <mutex>

#include "korvex/common/worker_thread.h"

namespace korvex {

namespace {

// What the threads share. A helper may start only after every task has
// been taken (a new thread can be held up, on Windows by the loader lock):
// it then finds nothing to do and touches nothing but this, which it keeps
// alive, so the caller never waits for a helper itself, only for the tasks.
struct Batch {
  Batch(std::size_t n, const std::function<void(std::size_t)>& t) : count(n), task(&t) {}

  void takeTasks() {
    for (std::size_t i = next++; i < count; i = next++) {
      std::exception_ptr thrown;
      try {
        (*task)(i);
      } catch (...) {
        thrown = std::current_exception();
      }
      const std::lock_guard lock(mutex);
      if (thrown && !firstThrown) firstThrown = thrown;
      if (++finished == count) allFinished.notify_all();
    }
  }

  const std::size_t count;
  const std::function<void(std::size_t)>* task;  // used only for a task taken
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::condition_variable allFinished;
  std::size_t finished = 0;  // guarded by mutex, as is firstThrown
  std::exception_ptr firstThrown;
};

}  // namespace

void runSideBySide(std::size_t count, std::size_t threads,
                   const std::function<void(std::size_t)>& task) {
  const auto batch = std::make_shared<Batch>(count, task);
  // A list: a WorkerThread cannot move once started.
  std::list<WorkerThread> helpers;
  for (std::size_t n = 1; n < std::min(threads, count); ++n) {
    if (!helpers.emplace_back().start([batch] { batch->takeTasks(); })) {
      helpers.pop_back();
      break;
    }
  }
  batch->takeTasks();
  std::unique_lock lock(batch->mutex);
  batch->allFinished.wait(lock, [&] { return batch->finished == count; });
  if (batch->firstThrown) std::rethrow_exception(batch->firstThrown);
  // The helpers end by themselves; one not finished yet is let go.
}

}  // namespace korvex
