// Threads on the simulated platform: start, finish and release; threads
// held back from starting; and abandoning a thread that does not end.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using namespace std::chrono_literals;
using platform::Handle;
using platform::kNoHandle;

// Runs until its event is set.
struct Gate {
  SimPlatform* p = nullptr;
  Handle open = kNoHandle;
  std::atomic<bool> ran{false};

  static void run(void* self) {
    auto& g = *static_cast<Gate*>(self);
    g.ran = true;
    g.p->waitEvent(g.open, 0xFFFFFFFF);
  }
};

TEST(SimThreads, AThreadRunsItsEntryAndIsReleasedOnceFinished) {
  auto p = SimPlatform::fromJson("{}");
  Gate g{p.get(), p->createEvent()};
  const Handle t = p->startThread(&Gate::run, &g);
  ASSERT_NE(t, kNoHandle);
  EXPECT_TRUE(p->threadStarted(t));
  ASSERT_TRUE(p->settle());  // blocked in its wait
  EXPECT_TRUE(g.ran);
  EXPECT_FALSE(p->waitThreadFinished(t, 0));
  EXPECT_EQ(p->counts().openHandles(), 2u);
  p->setEvent(g.open);
  EXPECT_TRUE(p->waitThreadFinished(t, 10000));
  EXPECT_TRUE(p->threadStarted(t));
  p->releaseThread(t);
  EXPECT_FALSE(p->waitThreadFinished(t, 0));  // the handle is gone
  p->close(g.open);
  const CallCounts c = p->counts();
  EXPECT_EQ(c.threadStarts, 1u);
  EXPECT_EQ(c.threadTerminations, 0u);
  EXPECT_EQ(c.openHandles(), 0u);
}

TEST(SimThreads, AHeldThreadHasNotStartedAndEndsUnrunWhenTerminated) {
  auto p = SimPlatform::fromJson("{}");
  Gate g{p.get(), p->createEvent()};
  p->setEvent(g.open);
  p->holdNewThreads(true);
  const Handle never = p->startThread(&Gate::run, &g);
  const Handle later = p->startThread(&Gate::run, &g);
  EXPECT_FALSE(p->threadStarted(never));
  EXPECT_TRUE(p->settle());  // held threads are not waited for
  p->terminateThread(never);
  EXPECT_TRUE(p->waitThreadFinished(never, 10000));
  p->releaseThread(never);
  EXPECT_FALSE(g.ran);

  p->holdNewThreads(false);
  EXPECT_TRUE(p->threadStarted(later));
  EXPECT_TRUE(p->waitThreadFinished(later, 10000));
  p->releaseThread(later);
  EXPECT_TRUE(g.ran);
  p->close(g.open);
  EXPECT_EQ(p->counts().threadTerminations, 1u);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(SimThreads, AThreadThatDoesNotEndIsAbandonedAfterABoundedWait) {
  auto p = SimPlatform::fromJson("{}");
  p->useVirtualClock(0, 0);
  p->limitThreadWaits(20ms);
  Gate g{p.get(), p->createEvent()};
  const Handle t = p->startThread(&Gate::run, &g);
  ASSERT_TRUE(p->settle());
  const auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(p->waitThreadFinished(t, 10000));
  EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
  EXPECT_EQ(p->tickCount(), 10000u);  // the time-out passed on the clock too

  p->terminateThread(t);
  EXPECT_TRUE(p->waitThreadFinished(t, 0));
  EXPECT_TRUE(p->settle());  // an abandoned thread is not waited for
  p->releaseThread(t);
  EXPECT_EQ(p->counts().threadTerminations, 1u);
  // It still runs; letting it end lets the platform go.
  p->setEvent(g.open);
  p->close(g.open);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

}  // namespace
}  // namespace korvex::sim
