// Events on both clocks, and a test driving the platform's threads through
// virtual time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using namespace std::chrono_literals;
using platform::Handle;
using platform::kNoHandle;

// A thread that waits once and notes how that ended and when.
struct OneWait {
  SimPlatform* p = nullptr;
  Handle event = kNoHandle;
  std::uint32_t ms = 0;
  std::atomic<int> result{-1};
  std::atomic<std::uint32_t> tickAfter{0};

  static void run(void* self) {
    auto& w = *static_cast<OneWait*>(self);
    const bool set = w.p->waitEvent(w.event, w.ms);
    w.tickAfter = w.p->tickCount();
    w.result = set ? 1 : 0;
  }
};

// A watchdog's shape: waits in steps until stopped, spending some of the
// clock's time on every round.
struct StepLoop {
  SimPlatform* p = nullptr;
  Handle stop = kNoHandle;
  std::uint32_t workMs = 0;
  std::atomic<int> rounds{0};

  static void run(void* self) {
    auto& l = *static_cast<StepLoop*>(self);
    while (!l.p->waitEvent(l.stop, 1000)) {
      ++l.rounds;
      l.p->tickCount();
      l.p->sleep(l.workMs);
    }
  }
};

void finish(SimPlatform& p, Handle thread) {
  EXPECT_TRUE(p.waitThreadFinished(thread, 10000));
  p.releaseThread(thread);
}

TEST(SimEvents, OnTheRealClockAWaitEndsOnSetOrAfterItsTime) {
  auto p = SimPlatform::fromJson("{}");
  const Handle e = p->createEvent();
  ASSERT_NE(e, kNoHandle);
  EXPECT_FALSE(p->waitEvent(e, 0));
  auto before = std::chrono::steady_clock::now();
  EXPECT_FALSE(p->waitEvent(e, 30));
  EXPECT_GE(std::chrono::steady_clock::now() - before, 30ms);

  before = std::chrono::steady_clock::now();
  std::thread setter([&] {
    std::this_thread::sleep_for(20ms);
    p->setEvent(e);
  });
  EXPECT_TRUE(p->waitEvent(e, 60000));
  setter.join();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 30s);
  EXPECT_TRUE(p->waitEvent(e, 0));  // manual reset: it stays set
  p->resetEvent(e);
  EXPECT_FALSE(p->waitEvent(e, 0));

  p->close(e);
  EXPECT_FALSE(p->waitEvent(e, 0));
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(SimEvents, OnTheVirtualClockAWaitEndsExactlyAtItsDeadline) {
  auto p = SimPlatform::fromJson("{}");
  p->useVirtualClock(1000, 0);
  OneWait w{p.get(), p->createEvent(), 500};
  const Handle t = p->startThread(&OneWait::run, &w);
  ASSERT_TRUE(p->advanceAndSettle(499));
  EXPECT_EQ(w.result, -1);  // still blocked
  ASSERT_TRUE(p->advanceAndSettle(1));
  EXPECT_EQ(w.result, 0);
  EXPECT_EQ(w.tickAfter, 1500u);
  finish(*p, t);

  // A plain advance past the deadline wakes it too; a set wakes it at once.
  OneWait late{p.get(), w.event, 100};
  const Handle t2 = p->startThread(&OneWait::run, &late);
  ASSERT_TRUE(p->waitForWaiters(1));
  p->advance(250);
  finish(*p, t2);
  EXPECT_EQ(late.result, 0);
  EXPECT_EQ(late.tickAfter, 1750u);

  OneWait set{p.get(), w.event, 100000};
  const Handle t3 = p->startThread(&OneWait::run, &set);
  ASSERT_TRUE(p->settle());
  p->setEvent(w.event);
  finish(*p, t3);
  EXPECT_EQ(set.result, 1);
  EXPECT_EQ(set.tickAfter, 1750u);

  p->close(w.event);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(SimEvents, EachAdvanceAndSettleOfASecondRunsOneRoundOfAStepLoop) {
  auto p = SimPlatform::fromJson("{}");
  p->useVirtualClock(0, 1);
  StepLoop loop{p.get(), p->createEvent(), 7};  // every round uses 8 ms of the clock
  const Handle t = p->startThread(&StepLoop::run, &loop);
  for (int i = 1; i <= 5; ++i) {
    ASSERT_TRUE(p->advanceAndSettle(1000));
    EXPECT_EQ(loop.rounds, i);
  }
  p->setEvent(loop.stop);
  finish(*p, t);
  EXPECT_EQ(loop.rounds, 5);
  p->close(loop.stop);
  EXPECT_EQ(p->counts().openHandles(), 0u);
}

TEST(SimEvents, OneLongAdvanceRunsEveryStepThatFallsWithinIt) {
  auto p = SimPlatform::fromJson("{}");
  p->useVirtualClock(0, 0);
  StepLoop loop{p.get(), p->createEvent(), 0};
  const Handle t = p->startThread(&StepLoop::run, &loop);
  ASSERT_TRUE(p->advanceAndSettle(5000));
  EXPECT_EQ(loop.rounds, 5);
  EXPECT_EQ(p->tickCount(), 5000u);
  ASSERT_TRUE(p->advanceAndSettle(999));
  EXPECT_EQ(loop.rounds, 5);
  p->setEvent(loop.stop);
  finish(*p, t);
  p->close(loop.stop);
}

}  // namespace
}  // namespace korvex::sim
