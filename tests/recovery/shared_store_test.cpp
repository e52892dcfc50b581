// Several processes with the library of one folder share one list and one
// watchdog. Two libraries over one folder stand in for two processes: the
// store's locks are held per open lock file (per thread on Windows), so
// they exclude each other as two processes would.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

#include "korvex/common/cross_process_lock.h"

#include "recovery_fixture.h"

namespace korvex::recovery {
namespace {

using namespace std::chrono_literals;

class SharedStore : public ::testing::Test {
 protected:
  SharedStore() {
    world_->changeWorld([](sim::World& w) { testing::repeatFirstHub(w, 2); });
  }
  ~SharedStore() override {
    for (auto& process : processes_) {
      if (process) process->unload(Library::Unload::Orderly);
    }
  }

  Library& process(int i) {
    auto& slot = processes_[static_cast<std::size_t>(i)];
    if (!slot) {
      slot = std::make_unique<Library>(*world_, *world_, folder_.path());
      slot->load();
    }
    return *slot;
  }
  void end(int i) {
    processes_[static_cast<std::size_t>(i)]->unload(Library::Unload::Orderly);
    processes_[static_cast<std::size_t>(i)].reset();
  }

  std::vector<std::string> serials(int i) {
    std::vector<std::string> out;
    HubDeviceInfo info{};
    auto& list = process(i).autoCheckList();
    for (int more = list.getFirst(&info); more; more = list.getNext(&info)) {
      out.push_back(serialOf(info));
    }
    return out;
  }
  int add(int i, const std::u16string& serial) {
    const HubDeviceInfo info = deviceInfo(serial);
    return process(i).autoCheckList().add(&info);
  }
  std::string log() const { return readText(folder_.path() / "korvex.log"); }
  // Real time for a thread to notice what virtual time told it.
  static bool eventually(const std::function<bool()>& done) {
    for (int i = 0; i < 500 && !done(); ++i) std::this_thread::sleep_for(10ms);
    return done();
  }

  TempFolder folder_;
  std::unique_ptr<sim::Simulator> world_ =
      testing::loadWorld("core_watched_hub.json", 1000, sim::VirtualWaits::Manual);
  std::array<std::unique_ptr<Library>, 2> processes_;
};

// Every change is a read-modify-write of the store: nothing one process
// wrote is lost by another's write, and each sees the other's changes at
// its next list call; the cursor stays each process's own.
TEST_F(SharedStore, ListChangesOfEachProcessReachTheOther) {
  ASSERT_EQ(add(0, u"A"), 1);
  ASSERT_EQ(add(1, u"B"), 1);
  ASSERT_EQ(add(0, u"C"), 1);
  EXPECT_EQ(serials(0), (std::vector<std::string>{"A", "B", "C"}));
  HubDeviceInfo info = deviceInfo(u"A");
  ASSERT_EQ(process(1).autoCheckList().remove(&info), 1);
  EXPECT_EQ(process(0).autoCheckList().remove(&info), 0);  // gone already
  ASSERT_EQ(process(1).autoCheckList().setTimeInfo(5, 7), 1);
  std::uint8_t interval = 0, offTime = 0;
  ASSERT_EQ(process(0).autoCheckList().getTimeInfo(&interval, &offTime), 1);
  EXPECT_EQ(interval * 100 + offTime, 507);

  ASSERT_EQ(process(0).autoCheckList().getFirst(&info), 1);
  EXPECT_EQ(serials(1), (std::vector<std::string>{"B", "C"}));
  ASSERT_EQ(process(0).autoCheckList().getNext(&info), 1);
  EXPECT_EQ(serialOf(info), "C");

  // A change made while the store lock is held elsewhere is kept pending:
  // it shows in its own process at once, survives the other's write, and
  // reaches the store with the next write.
  {
    CrossProcessLock other(folder_.path() / "korvex.dat", kStoreLockSlot);
    ASSERT_EQ(other.lock(0ms), CrossProcessLock::Outcome::Taken);
    std::thread([this] { EXPECT_EQ(add(0, u"D"), 1); }).join();
    other.unlock();
  }
  ASSERT_EQ(add(1, u"E"), 1);
  EXPECT_EQ(serials(1), (std::vector<std::string>{"B", "C", "E"}));
  EXPECT_EQ(serials(0), (std::vector<std::string>{"B", "C", "E", "D"}));
  ASSERT_TRUE(process(0).autoCheckList().save());
  EXPECT_EQ(serials(1), (std::vector<std::string>{"B", "C", "E", "D"}));
}

// One watchdog acts at a time: an event is logged and acted on once, not
// once per process; when the acting process ends, the other takes over
// within one interval and goes on from the counters in the store.
TEST_F(SharedStore, OneWatchdogActsAndAnotherTakesOver) {
  ASSERT_EQ(add(0, u"H1"), 1);
  ASSERT_EQ(process(0).autoCheckList().setTimeInfo(1, 2), 1);
  world_->changeWorld([](sim::World& w) { testing::downstreamOf(w, u"H1").device.reset(); });
  ASSERT_EQ(process(0).watchdog().start(), 1);
  ASSERT_TRUE(world_->waitForWaiters(1));
  ASSERT_TRUE(world_->advanceAndSettle(1000));  // absent: a line, off; this one acts
  // A process loading the library while recovery is on starts its own.
  EXPECT_TRUE(process(1).watchdog().running());
  ASSERT_TRUE(world_->waitForWaiters(2));
  for (int second = 0; second < 3; ++second) ASSERT_TRUE(world_->advanceAndSettle(1000));
  // On again after off time 2, absent again at the next check.
  const std::string line = "2026/12/06 12:00:00,H1,3,0x1111,0x2222,\r\n";
  EXPECT_EQ(log(), line + line);
  EXPECT_EQ(process(0).watchdog().status() + process(1).watchdog().status(), 2);

  // The acting process ends: the hub it held off is switched on, and the
  // other watchdog, acting from the next interval, finds the device absent.
  end(0);
  ASSERT_TRUE(world_->waitForWaiters(1));
  ASSERT_TRUE(world_->advanceAndSettle(1000));
  EXPECT_EQ(log(), line + line + line);
  EXPECT_EQ(process(1).watchdog().status(), 1);
}

// Recovery on is the store's: a stop in a process without a watchdog of
// its own stops the one acting elsewhere, which switches on what it held
// off; recovery left on with no watchdog anywhere is not reported as on.
TEST_F(SharedStore, RecoveryStatusAndStopHoldAcrossProcesses) {
  ASSERT_EQ(add(1, u"H1"), 1);  // loaded while recovery is off
  ASSERT_EQ(process(0).autoCheckList().setTimeInfo(1, 5), 1);
  world_->changeWorld([](sim::World& w) { testing::downstreamOf(w, u"H1").device.reset(); });
  ASSERT_EQ(process(0).watchdog().start(), 1);
  ASSERT_TRUE(world_->waitForWaiters(1));
  ASSERT_TRUE(world_->advanceAndSettle(1000));  // H1 off, held for 5 cycles
  EXPECT_EQ(process(1).watchdog().status(), 1);
  EXPECT_EQ(process(1).watchdog().stop(), 1);
  world_->advance(1000);
  ASSERT_TRUE(eventually([&] { return !process(0).watchdog().running(); }));
  EXPECT_EQ(process(0).watchdog().status(), 0);
  EXPECT_EQ(process(1).watchdog().stop(), 0);
  std::vector<std::uint8_t> power;
  for (const auto& r : world_->requestsTo(u"H1")) {
    if (r.bytes[1] == 0x22) power.push_back(r.bytes[2]);
  }
  EXPECT_EQ(power, (std::vector<std::uint8_t>{0, 1}));

  ASSERT_EQ(process(0).watchdog().start(), 1);
  end(0);  // recovery stays on in the store for the next load
  EXPECT_EQ(process(1).autoCheckList().recoveryOn(), true);
  EXPECT_EQ(process(1).watchdog().status(), 0);
}

}  // namespace
}  // namespace korvex::recovery
