#include "korvex/recovery/watchdog.h"

#include <korvex.h>

#include <algorithm>
#include <chrono>
#include <tuple>
#include <vector>

#include "korvex/common/failure_reason.h"
#include "korvex/common/no_throw.h"

namespace korvex::recovery {

namespace {

constexpr std::uint32_t kStepMs = 1000;

}  // namespace

Watchdog::~Watchdog() {
  if (running()) endThread();
}

void Watchdog::abandon() {
  thread_.forget();
}

bool Watchdog::running() {
  // A thread that found recovery switched off by another process has ended
  // by itself.
  return thread_.exists() && !thread_.waitFinished(std::chrono::milliseconds(0));
}

int Watchdog::start() {
  const std::lock_guard control(controlLock_);
  if (running()) return failWith(FailureReason::AlreadyRunning);
  thread_.release();
  stop_.reset();
  // Stored before the thread starts: a thread that finds recovery off ends.
  list_.setRecoveryOn(true);
  if (thread_.start([this] { threadMain(); })) return 1;
  // Without a thread, recovery stays off, in the store too: claiming a
  // watchdog that does not exist would leave every listed hub unwatched
  // while the program shows recovery as on.
  list_.setRecoveryOn(false);
  return failWith(FailureReason::ThreadFailed);
}

int Watchdog::stop() {
  const std::lock_guard control(controlLock_);
  const bool ownThread = running();
  // Recovery kept by another process's watchdog is stopped through the
  // store: that watchdog finds it off at its next check.
  if (!ownThread && !list_.recoveryOn()) return failWith(FailureReason::NotRunning);
  list_.setRecoveryOn(false);
  if (ownThread) endThread();
  thread_.release();
  return 1;
}

int Watchdog::status() {
  if (!list_.recoveryOn()) return 0;
  return running() || watchedElsewhere() ? 1 : 0;
}

bool Watchdog::watchedElsewhere() {
  CrossProcessLock probe(list_.storeFile(), kWatchdogLockSlot);
  return probe.lock(std::chrono::milliseconds(0)) == CrossProcessLock::Outcome::HeldElsewhere;
}

void Watchdog::stopForUnload() {
  const std::lock_guard control(controlLock_);
  if (thread_.exists()) endThread();
}

int Watchdog::deleteListed(const HubDeviceInfo* info) {
  AutoCheckRecord removed{};
  if (!list_.remove(info, &removed)) return 0;
  // Off the list, nothing would ever switch it on again.
  if (removed.offCountdown != 0) commands_.setStatus(removed.controllerSerial, 1);
  return 1;
}

void Watchdog::switchOnHeldOff() {
  const std::uint32_t start = clock_.tickCount();
  for (const AutoCheckRecord& held : list_.takeHeldOff()) {
    const auto spent = static_cast<std::uint32_t>(clock_.tickCount() - start);
    commands_.setStatus(held.controllerSerial, 1,
                        spent < kSwitchOnBudgetMs ? kSwitchOnBudgetMs - spent : 0);
  }
}

void Watchdog::switchOnHeldOffUnlessWatched() {
  if (!watchedElsewhere()) switchOnHeldOff();
}

void Watchdog::endThread() {
  stop_.raise();
  // A thread still inside a device call after the wait finishes that call
  // and the rest of its way out by itself.
  thread_.waitFinished(std::chrono::milliseconds(kStopWaitMs));
  thread_.release();
}

void Watchdog::threadMain() {
  // The settings reach a running thread only through a stop and a start,
  // or when it takes over from another process's watchdog.
  auto [storedInterval, offTime] = list_.settings();
  CrossProcessLock acting(list_.storeFile(), kWatchdogLockSlot);
  bool acts = false;
  bool waitedForOther = false;
  std::uint32_t seconds = 0;
  while (!clock_.wait(kStepMs, stop_)) {
    if (++seconds < std::max<std::uint32_t>(storedInterval, 1)) continue;
    seconds = 0;
    // Another process may have switched recovery off for this store.
    if (!list_.recoveryOn()) break;
    if (!acts) {
      const auto outcome = acting.lock(std::chrono::milliseconds(0));
      // With no lock to be had from the system this watchdog acts alone.
      acts = outcome != CrossProcessLock::Outcome::HeldElsewhere;
      if (!acts) {
        waitedForOther = true;
        continue;
      }
      if (waitedForOther) std::tie(storedInterval, offTime) = list_.settings();
    }
    // A cycle that throws is abandoned; the next one comes as usual.
    runNoThrow([&] { checkCycle(offTime, ownCommands_, &stop_); });
  }
  // The hubs held off are switched on by the watchdog that acts on the
  // list: this one, or none when no other process's holds the lock.
  if (!acts)
    acts = acting.lock(std::chrono::milliseconds(0)) != CrossProcessLock::Outcome::HeldElsewhere;
  if (acts) runNoThrow([this] { switchOnHeldOff(); });
  acting.unlock();
}

void Watchdog::runCheckCycle(std::uint8_t offTime) {
  checkCycle(offTime, commands_, nullptr);
}

void Watchdog::checkCycle(std::uint8_t offTime, controller::ControllerCommands& commands,
                          const StopSignal* stop) {
  const auto stopped = [stop] { return stop != nullptr && stop->raised(); };
  const std::lock_guard cycle(WatchdogLock);
  HubDeviceInfo scanned{};
  devices_.WatchdogScanDeviceInfo(
      &scanned, [&](std::span<const char16_t* const> serials, std::span<std::uint8_t> statuses) {
        commands.getStatuses(serials, statuses);
      });
  if (stopped()) return;
  std::vector<std::uint64_t> done;
  while (const auto watched = list_.nextUnchecked(done)) {
    processRecord(*watched, offTime, commands, stop);
    done.push_back(watched->id);
    // A stop ends the cycle between two records; the rest wait for the next
    // start.
    if (stopped()) break;
  }
}

void Watchdog::processRecord(const AutoCheckList::Watched& watched, std::uint8_t offTime,
                             controller::ControllerCommands& commands, const StopSignal* stop) {
  const AutoCheckRecord& record = watched.record;
  HubDeviceInfo seen{};
  Sighting sighting;
  if (devices_.WatchdogGetDeviceInfoSerial(&seen, record.controllerSerial)) {
    sighting = {true, seen.ConnectionStatus, seen.CurrentConfigurationValue, seen.idVendor,
                seen.idProduct};
  }
  const RecordCheck check = checkRecord({record.offCountdown, record.failureCount}, record.idVendor,
                                        record.idProduct, sighting, offTime);
  for (std::size_t i = 0; i < check.actionCount; ++i) {
    const Action& action = check.actions[i];
    if (action.step == Step::PowerOff) {
      AppendLogLine(clock_, folder_, record, action.event, stop);
      commands.setStatus(record.controllerSerial, 0);
    } else {
      commands.setStatus(record.controllerSerial, 1);
    }
  }
  // Deleted while it was in hand: its countdown has no record to run in,
  // so a hub this cycle left off is switched on now.
  if (!list_.storeCounters(watched.id, check.after) && check.after.offCountdown != 0) {
    commands.setStatus(record.controllerSerial, 1);
  }
}

}  // namespace korvex::recovery
