#include "korvex/recovery/auto_check_list.h"

#include <algorithm>
#include <cstring>

#include "korvex/common/failure_reason.h"
#include "korvex/common/utf16.h"
#include "korvex/recovery/library_files.h"

namespace korvex::recovery {

namespace {

constexpr auto kBadArgument = FailureReason::BadArgument;
constexpr auto kNoMoreEntries = FailureReason::NoMoreEntries;
constexpr auto kNotListed = FailureReason::NotListed;

void clearRecord(HubDeviceInfo* info) {
  std::memset(info, 0, sizeof *info);
}

}  // namespace

int AutoCheckList::setTimeInfo(std::uint8_t interval, std::uint8_t offTime) {
  const Change change(*this);
  block_.interval = interval;
  block_.offTime = offTime;
  return 1;
}

int AutoCheckList::getTimeInfo(std::uint8_t* interval, std::uint8_t* offTime) {
  if (interval == nullptr || offTime == nullptr) return failWith(kBadArgument);
  const std::lock_guard lock(ListLock);
  *interval = block_.interval;
  *offTime = block_.offTime;
  return 1;
}

int AutoCheckList::add(const HubDeviceInfo* info) {
  if (info == nullptr) return failWith(kBadArgument);
  {
    const Change change(*this);
    if (block_.count >= kListCapacity) return failWith(FailureReason::ListFull);
    block_.slots[block_.count] = recordFromDeviceInfo(*info);
    ids_[block_.count] = nextId_++;
    ++block_.count;
  }
  save();  // a failed write keeps the change in memory for the next one
  return 1;
}

int AutoCheckList::getFirst(HubDeviceInfo* info) {
  const Change change(*this);
  block_.cursor = 0;
  if (info == nullptr) return failWith(kBadArgument);
  if (block_.count == 0) return failWith(kNoMoreEntries);
  fillDeviceInfo(block_.slots[0], *info);
  block_.cursor = 1;
  return 1;
}

int AutoCheckList::getNext(HubDeviceInfo* info) {
  if (info == nullptr) return failWith(kBadArgument);
  const Change change(*this);
  if (block_.cursor >= block_.count) return failWith(kNoMoreEntries);
  fillDeviceInfo(block_.slots[block_.cursor], *info);
  ++block_.cursor;
  return 1;
}

int AutoCheckList::getIndex(HubDeviceInfo* info, std::uint8_t index) {
  if (info == nullptr) return failWith(kBadArgument);
  const std::lock_guard lock(ListLock);
  if (index >= block_.count) return failWith(kNotListed);
  fillDeviceInfo(block_.slots[index], *info);
  return 1;
}

int AutoCheckList::getSerial(HubDeviceInfo* info, const char16_t* serial) {
  if (info == nullptr) return failWith(kBadArgument);
  clearRecord(info);
  const std::lock_guard lock(ListLock);
  for (std::size_t i = 0; i < block_.count; ++i) {
    if (equalTerminated(block_.slots[i].controllerSerial, serial, kStringUnits)) {
      fillDeviceInfo(block_.slots[i], *info);
      return 1;
    }
  }
  return failWith(kNotListed);
}

int AutoCheckList::remove(const HubDeviceInfo* info, AutoCheckRecord* removed) {
  if (info == nullptr) return failWith(kBadArgument);
  // The caller's serial may lack its NUL: compare a terminated copy.
  const AutoCheckRecord wanted = recordFromDeviceInfo(*info);
  {
    const Change change(*this);
    std::size_t i = 0;
    while (i < block_.count && !equalTerminated(block_.slots[i].controllerSerial,
                                                wanted.controllerSerial, kStringUnits)) {
      ++i;
    }
    if (i == block_.count) return failWith(kNotListed);
    if (removed != nullptr) *removed = block_.slots[i];
    --block_.count;
    // The slot that falls out of the list keeps its old bytes.
    std::copy(block_.slots + i + 1, block_.slots + block_.count + 1, block_.slots + i);
    std::copy(ids_.begin() + static_cast<std::ptrdiff_t>(i) + 1, ids_.begin() + block_.count + 1,
              ids_.begin() + static_cast<std::ptrdiff_t>(i));
  }
  save();
  return 1;
}

void AutoCheckList::load() {
  const std::lock_guard saving(saveLock_);
  AutoCheckStore loaded;
  LoadAutoCheckStore(folder_, loaded);
  const Change change(*this);
  block_ = loaded;
  for (auto& id : ids_) id = nextId_++;
}

bool AutoCheckList::save() {
  const std::lock_guard saving(saveLock_);
  AutoCheckStore copy;
  {
    const std::lock_guard lock(ListLock);
    copy = block_;
  }
  return SaveAutoCheckStore(folder_, copy);
}

bool AutoCheckList::saveAtExit() {
  return SaveAutoCheckStore(folder_, published_[lastPublished_.load()]);
}

void AutoCheckList::publish() {
  // Written whole into the copy not in use, then named: a writer ended
  // half-way leaves the other copy as it was.
  const std::size_t next = 1 - lastPublished_.load();
  published_[next] = block_;
  lastPublished_.store(next);
}

bool AutoCheckList::recoveryOn() {
  const std::lock_guard lock(ListLock);
  return block_.recoveryOn != 0;
}

void AutoCheckList::setRecoveryOn(bool on) {
  const Change change(*this);
  block_.recoveryOn = on ? 1 : 0;
}

std::pair<std::uint8_t, std::uint8_t> AutoCheckList::settings() {
  const std::lock_guard lock(ListLock);
  return {block_.interval, block_.offTime};
}

std::optional<AutoCheckList::Watched> AutoCheckList::nextUnchecked(
    const std::vector<std::uint64_t>& done) {
  const Change change(*this);
  for (std::size_t i = 0; i < block_.count; ++i) {
    if (std::find(done.begin(), done.end(), ids_[i]) != done.end()) continue;
    block_.checkIndex = static_cast<std::uint8_t>(i);
    return Watched{block_.slots[i], ids_[i]};
  }
  return std::nullopt;
}

bool AutoCheckList::storeCounters(std::uint64_t id, RecordCounters counters) {
  const Change change(*this);
  for (std::size_t i = 0; i < block_.count; ++i) {
    if (ids_[i] == id) {
      block_.slots[i].offCountdown = counters.offCountdown;
      block_.slots[i].failureCount = counters.failureCount;
      return true;
    }
  }
  return false;
}

std::vector<AutoCheckRecord> AutoCheckList::takeHeldOff() {
  std::vector<AutoCheckRecord> held;
  const Change change(*this);
  for (std::size_t i = 0; i < block_.count; ++i) {
    if (block_.slots[i].offCountdown == 0) continue;
    held.push_back(block_.slots[i]);
    block_.slots[i].offCountdown = 0;
  }
  return held;
}

AutoCheckStore AutoCheckList::snapshot() {
  const std::lock_guard lock(ListLock);
  return block_;
}

}  // namespace korvex::recovery
