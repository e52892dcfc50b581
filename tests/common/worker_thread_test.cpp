// The worker thread: it runs its body, is waited for with a time-out, and a
// thread cancelled before it begins never runs its body.
#include "korvex/common/worker_thread.h"

#include <gtest/gtest.h>

#include <atomic>

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
  EXPECT_FALSE(thread.cancel());  // it has begun long ago
  thread.release();
  EXPECT_FALSE(thread.exists());
  EXPECT_TRUE(thread.start([] {}));  // released: a new one may start
}

// A cancel races the thread's beginning: either it ran its body to the
// end, or none of it. (On Windows a cancel is for a thread that the loader
// lock holds back; ending one that is starting could leave that lock held.)
TEST(WorkerThread, ACancelledThreadNeverRunsItsBody) {
#ifdef _WIN32
  GTEST_SKIP() << "only for threads held back by the loader lock";
#endif
  for (int i = 0; i < 200; ++i) {
    std::atomic<int> steps{0};
    WorkerThread thread;
    ASSERT_TRUE(thread.start([&] { steps += 2; }));
    const bool cancelled = thread.cancel();
    if (!cancelled) {
      ASSERT_TRUE(thread.waitFinished(milliseconds(60000)));
    }
    thread.release();
    EXPECT_EQ(steps, cancelled ? 0 : 2);
  }
}

}  // namespace
}  // namespace korvex
