// Runs the tasks of one batch side by side on a bounded number of threads,
// so that tasks which mostly wait (for a device's reply) wait together.
#pragma once

#include <cstddef>
#include <functional>

namespace korvex {

// Calls task(0) .. task(count - 1), each once, on at most `threads`
// threads: the calling thread and up to threads - 1 worker threads (fewer
// when no more can be started; then the calling thread does the rest).
// Returns when every task has returned; then rethrows the first exception
// a task threw, if any. Tasks start in index order and may end in any
// order.
void runSideBySide(std::size_t count, std::size_t threads,
                   const std::function<void(std::size_t)>& task);

}  // namespace korvex
