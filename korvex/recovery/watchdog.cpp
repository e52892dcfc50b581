#include "korvex/recovery/watchdog.h"

#include <korvex.h>

#include <algorithm>
#include <vector>

namespace korvex::recovery {

namespace {

constexpr std::uint32_t kStepMs = 1000;

}  // namespace

Watchdog::~Watchdog() {
  if (running()) endThread();
  platform_.close(stopEvent_);
}

void Watchdog::abandon() {
  const std::lock_guard control(controlLock_);
  thread_ = platform::kNoHandle;
  runFlag_ = 0;
}

int Watchdog::start() {
  const std::lock_guard control(controlLock_);
  if (running()) return 0;
  if (stopEvent_ == platform::kNoHandle) stopEvent_ = platform_.createEvent();
  if (stopEvent_ == platform::kNoHandle) return 0;
  platform_.resetEvent(stopEvent_);
  runFlag_ = 1;
  thread_ = platform_.startThread(&Watchdog::threadEntry, this);
  if (thread_ == platform::kNoHandle) {
    // Claiming a running watchdog that does not exist would leave every
    // listed hub unwatched while the program shows recovery as on.
    runFlag_ = 0;
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
  if (!platform_.threadStarted(thread_)) {
    // Created but held back by the loader lock that this unload holds: it
    // has run no library code and must never start in an unmapped library.
    platform_.terminateThread(thread_);
    platform_.releaseThread(thread_);
    thread_ = platform::kNoHandle;
    runFlag_ = 0;
    return;
  }
  endThread();
}

bool Watchdog::endThread() {
  runFlag_ = 0;
  platform_.setEvent(stopEvent_);
  const bool ended = platform_.waitThreadFinished(thread_, kStopWaitMs);
  if (!ended) platform_.terminateThread(thread_);
  platform_.releaseThread(thread_);
  thread_ = platform::kNoHandle;
  return ended;
}

void Watchdog::threadEntry(void* self) {
  static_cast<Watchdog*>(self)->threadMain();
}

void Watchdog::threadMain() {
  // The settings reach a running thread only through a stop and a start.
  const auto [storedInterval, offTime] = list_.settings();
  const std::uint32_t interval = std::max<std::uint32_t>(storedInterval, 1);
  std::uint32_t seconds = 0;
  while (runFlag_ != 0) {
    if (platform_.waitEvent(stopEvent_, kStepMs)) break;
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
  if (stoppable && runFlag_ == 0) return;
  std::vector<std::uint64_t> done;
  while (const auto watched = list_.nextUnchecked(done)) {
    processRecord(*watched, offTime);
    done.push_back(watched->id);
    // A stop ends the cycle between two records; the rest wait for the next
    // start.
    if (stoppable && runFlag_ == 0) break;
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
      AppendLogLine(platform_, record, action.event);
      commands_.setStatus(record.controllerSerial, 0);
    } else {
      commands_.setStatus(record.controllerSerial, 1);
    }
  }
  list_.storeCounters(watched.id, check.after);
}

}  // namespace korvex::recovery
