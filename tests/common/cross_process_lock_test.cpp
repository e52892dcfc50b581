// The lock the library's processes share, on a real file name, natively and
// under wine. Each contender runs on a thread of its own, as a watchdog
// does (a Windows mutex is owned by a thread, and lets its owner in again).
#include "korvex/common/cross_process_lock.h"

#include <gtest/gtest.h>

#include <future>

#include "temp_folder.h"

namespace korvex {
namespace {

using namespace std::chrono_literals;
using Outcome = CrossProcessLock::Outcome;

// What a contender on another thread gets, waiting up to timeout.
Outcome contend(const std::filesystem::path& file, unsigned slot,
                std::chrono::milliseconds timeout = 0ms, const StopSignal* stop = nullptr) {
  return std::async(std::launch::async,
                    [&] {
                      CrossProcessLock other(file, slot);
                      const Outcome outcome = other.lock(timeout, stop);
                      other.unlock();
                      return outcome;
                    })
      .get();
}

TEST(CrossProcessLock, ExcludesOthersOfTheSameFileAndSlotOnly) {
  testing::TempFolder folder;
  const auto store = folder.path() / "korvex.dat";
  CrossProcessLock lock(store, 0);
  ASSERT_EQ(lock.lock(0ms), Outcome::Taken);
  EXPECT_EQ(lock.lock(0ms), Outcome::Taken);  // held already
  EXPECT_EQ(contend(store, 0), Outcome::HeldElsewhere);
  EXPECT_EQ(contend(store, 1), Outcome::Taken);
  EXPECT_EQ(contend(folder.path() / "other.dat", 0), Outcome::Taken);

  // A wait ends at its time-out, or at once when its stop is raised.
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ(contend(store, 0, 200ms), Outcome::HeldElsewhere);
  EXPECT_GE(std::chrono::steady_clock::now() - started, 200ms);
  StopSignal stop;
  stop.raise();
  started = std::chrono::steady_clock::now();
  EXPECT_EQ(contend(store, 0, 5000ms, &stop), Outcome::HeldElsewhere);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1000ms);

  // A waiter gets it once it is released.
  auto waiter = std::async(std::launch::async, [&] { return contend(store, 0, 5000ms); });
  std::this_thread::sleep_for(50ms);
  lock.unlock();
  EXPECT_EQ(waiter.get(), Outcome::Taken);
}

// A holder that ends without releasing (its thread on Windows, its open
// file elsewhere; at process exit both go) leaves the lock to the next.
TEST(CrossProcessLock, AHolderThatEndsLeavesItToTheNext) {
  testing::TempFolder folder;
  const auto store = folder.path() / "korvex.dat";
  std::async(std::launch::async, [&] {
    auto holder = std::make_unique<CrossProcessLock>(store, 1);
    ASSERT_EQ(holder->lock(0ms), Outcome::Taken);
#ifndef _WIN32
    holder.reset();
#else
    holder.release();  // its thread ends holding the mutex
#endif
  }).get();
  EXPECT_EQ(contend(store, 1), Outcome::Taken);
}

}  // namespace
}  // namespace korvex
