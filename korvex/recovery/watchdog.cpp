#include "korvex/recovery/watchdog.h"

#include <korvex.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace korvex::recovery {

namespace {

constexpr std::uint32_t kStepMs = 1000;

}  // namespace

Watchdog::~Watchdog() {
  if (running()) endThread();
}

void Watchdog::abandon() {
  const std::lock_guard control(controlLock_);
  stop_.raise();
  thread_.forget();
}

int Watchdog::start() {
  const std::lock_guard control(controlLock_);
  if (running()) return 0;
  stop_.reset();
  if (!thread_.start([this] { threadMain(); })) {
    // Claiming a running watchdog that does not exist would leave every
    // listed hub unwatched while the program shows recovery as on.
    list_.setRecoveryOn(false);
    return 0;
  }
  list_.setRecoveryOn(true);
  list_.save();
  return 1;
}

int Watchdog::stop() {
  const std::lock_guard control(controlLock_);
  if (!running()) return 0;
  endThread();
  list_.setRecoveryOn(false);
  list_.save();
  return 1;
}

void Watchdog::stopForUnload() {
  const std::lock_guard control(controlLock_);
  if (!running()) return;
  if (thread_.cancel()) {
    // Created but held back by the loader lock that this unload holds: it
    // has run no library code and must never start in an unmapped library.
    thread_.release();
    return;
  }
  endThread();
}

bool Watchdog::endThread() {
  stop_.raise();
  const bool ended = thread_.waitFinished(std::chrono::milliseconds(kStopWaitMs));
  if (!ended) thread_.terminate();
  thread_.release();
  return ended;
}

void Watchdog::threadMain() {
  // The settings reach a running thread only through a stop and a start.
  const auto [storedInterval, offTime] = list_.settings();
  const std::uint32_t interval = std::max<std::uint32_t>(storedInterval, 1);
  std::uint32_t seconds = 0;
  while (!clock_.wait(kStepMs, stop_)) {
    if (++seconds < interval) continue;
    checkCycle(offTime, true);
    seconds = 0;
  }
}

void Watchdog::runCheckCycle(std::uint8_t offTime) {
  checkCycle(offTime, false);
}

void Watchdog::checkCycle(std::uint8_t offTime, bool stoppable) {
  const std::lock_guard cycle(WatchdogLock);
  HubDeviceInfo scanned{};
  devices_.WatchdogScanDeviceInfo(&scanned);
  if (stoppable && stop_.raised()) return;
  std::vector<std::uint64_t> done;
  while (const auto watched = list_.nextUnchecked(done)) {
    processRecord(*watched, offTime);
    done.push_back(watched->id);
    // A stop ends the cycle between two records; the rest wait for the next
    // start.
    if (stoppable && stop_.raised()) break;
  }
}

void Watchdog::processRecord(const AutoCheckList::Watched& watched, std::uint8_t offTime) {
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
      AppendLogLine(clock_, folder_, record, action.event);
      commands_.setStatus(record.controllerSerial, 0);
    } else {
      commands_.setStatus(record.controllerSerial, 1);
    }
  }
  list_.storeCounters(watched.id, check.after);
}

}  // namespace korvex::recovery
