// The simulator's clock: real and virtual time, and threads driven through
// virtual time.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "simulator_test_support.h"

namespace korvex::sim {
namespace {

TEST(Clock, RealAndVirtualTicks) {
  const auto s = Simulator::fromJson(k_faults_world);
  EXPECT_LT(s->tickCount() - 0x1000u, 60000u);  // real, from tickStart
  EXPECT_EQ(s->localTime().dayOfWeek, 4);       // 2024-02-29 was a Thursday
  StopSignal stop;
  s->useVirtualClock(0xFFFFFFFE, 3, VirtualWaits::Advance);
  EXPECT_EQ(s->tickCount(), 0xFFFFFFFEu);
  EXPECT_EQ(s->tickCount(), 1u);
  EXPECT_FALSE(s->wait(1000, stop));  // at once, the clock moved
  EXPECT_EQ(s->tickCount(), 1004u);
  stop.raise();
  EXPECT_TRUE(s->wait(1000, stop));
  EXPECT_EQ(s->tickCount(), 1007u);
}

TEST(Clock, ManualWaitsEndWhenTheTestMovesTheClockThere) {
  const auto s = Simulator::fromJson("{}");
  s->useVirtualClock(0, 7);
  StopSignal stop;
  std::atomic<int> rounds{0};
  std::thread loop([&] {  // like the watchdog's: a round per second until stopped
    while (!s->wait(1000, stop)) {
      s->tickCount();
      ++rounds;
    }
  });
  ASSERT_TRUE(s->waitForWaiters(1));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(s->advanceAndSettle(1000));
  EXPECT_EQ(rounds, 5);  // each deadline met although rounds take 7 ms
  s->advance(999);
  EXPECT_TRUE(s->waitForWaiters(1));
  EXPECT_EQ(rounds, 5);  // its deadline is 1 ms away
  EXPECT_TRUE(s->advanceAndSettle(3000));
  EXPECT_EQ(rounds, 8);
  stop.raise();  // ends the wait without the clock
  loop.join();
}

TEST(Clock, SettlingGivesUpOnAThreadThatDoesNotWaitAgain) {
  const auto s = Simulator::fromJson("{}");
  s->useVirtualClock(0);
  StopSignal never;
  std::thread twice([&] {
    s->wait(10, never);
    s->wait(10, never);
  });
  ASSERT_TRUE(s->waitForWaiters(1));
  EXPECT_TRUE(s->advanceAndSettle(10));
  EXPECT_FALSE(s->advanceAndSettle(10, std::chrono::milliseconds(50)));  // it has ended
  twice.join();
}

}  // namespace
}  // namespace korvex::sim
