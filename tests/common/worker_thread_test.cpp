// The worker thread: it runs its body, is waited for with a time-out, and a
// thread let go before it finishes runs on to its end.
#include "korvex/common/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "korvex/common/stop_signal.h"

namespace korvex {
namespace {

using std::chrono::milliseconds;

TEST(WorkerThread, RunsItsBodyAndIsWaitedForWithATimeOut) {
  StopSignal stop;
  WorkerThread thread;
  ASSERT_TRUE(thread.start([&] { stop.waitFor(milliseconds(60000)); }));
  EXPECT_FALSE(thread.start([] {}));  // one at a time
  EXPECT_FALSE(thread.waitFinished(milliseconds(50)));
  stop.raise();
  EXPECT_TRUE(thread.waitFinished(milliseconds(60000)));
  thread.release();
  EXPECT_FALSE(thread.exists());
  EXPECT_TRUE(thread.start([] {}));  // released: a new one may start
}

// Nothing ends a thread from outside: one let go while it runs finishes its
// body by itself, and an exception from the body ends in the thread.
TEST(WorkerThread, AThreadLetGoRunsToItsEnd) {
  StopSignal stop;
  std::atomic<bool> ended{false};
  {
    WorkerThread thread;
    ASSERT_TRUE(thread.start([&] {
      stop.waitFor(milliseconds(60000));
      ended = true;
      throw 1;
    }));
    thread.release();
  }
  stop.raise();
  for (int i = 0; i < 6000 && !ended; ++i) std::this_thread::sleep_for(milliseconds(10));
  EXPECT_TRUE(ended);
}

}  // namespace
}  // namespace korvex
