#include "korvex/recovery/auto_check_list.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <memory>
#include <span>

#include "korvex/common/failure_reason.h"
#include "korvex/common/files.h"
#include "korvex/common/utf16.h"
#include "korvex/recovery/library_files.h"

namespace korvex::recovery {

namespace {

constexpr auto kBadArgument = FailureReason::BadArgument;
constexpr auto kNoMoreEntries = FailureReason::NoMoreEntries;
constexpr auto kNotListed = FailureReason::NotListed;

// Another process holds the store lock only for a read and a write; a
// holder that keeps it longer is not waited for beyond this, and the
// change stays pending.
constexpr std::chrono::milliseconds kStoreLockWait{500};
// Edits kept pending while the store cannot be written, before they are
// folded into one block.
constexpr std::size_t kMostPendingEdits = 64;

void clearRecord(HubDeviceInfo* info) {
  std::memset(info, 0, sizeof *info);
}

bool sameSerial(const AutoCheckRecord& a, const AutoCheckRecord& b) {
  return equalTerminated(a.controllerSerial, b.controllerSerial, kStringUnits);
}

bool sameList(const AutoCheckStore& a, const AutoCheckStore& b) {
  if (a.count != b.count) return false;
  for (std::size_t i = 0; i < a.count; ++i) {
    if (!sameSerial(a.slots[i], b.slots[i])) return false;
  }
  return true;
}

}  // namespace

AutoCheckList::AutoCheckList(std::filesystem::path folder)
    : folder_(std::move(folder)),
      storeFile_(folder_ / kStoreFileName),
      storeLock_(storeFile_, kStoreLockSlot) {}

int AutoCheckList::setTimeInfo(std::uint8_t interval, std::uint8_t offTime) {
  // Written at once: held in memory only, another process's next change
  // would write the old settings over it.
  const std::lock_guard lock(ListLock);
  return changeLocked([interval, offTime](AutoCheckStore& block, Ids&) {
    block.interval = interval;
    block.offTime = offTime;
    return 1;
  });
}

int AutoCheckList::getTimeInfo(std::uint8_t* interval, std::uint8_t* offTime) {
  if (interval == nullptr || offTime == nullptr) return failWith(kBadArgument);
  const std::lock_guard lock(ListLock);
  refreshLocked();
  *interval = block_.interval;
  *offTime = block_.offTime;
  return 1;
}

int AutoCheckList::add(const HubDeviceInfo* info) {
  if (info == nullptr) return failWith(kBadArgument);
  const AutoCheckRecord record = recordFromDeviceInfo(*info);
  const std::uint64_t id = nextId_++;
  const std::lock_guard lock(ListLock);
  // A failed write keeps the change pending for the next one.
  return changeLocked([record, id](AutoCheckStore& block, Ids& ids) {
    if (block.count >= kListCapacity) return failWith(FailureReason::ListFull);
    block.slots[block.count] = record;
    ids[block.count] = id;
    ++block.count;
    return 1;
  });
}

int AutoCheckList::getFirst(HubDeviceInfo* info) {
  const std::lock_guard lock(ListLock);
  refreshLocked();
  cursor_ = block_.cursor = 0;
  if (info == nullptr) return failWith(kBadArgument);
  if (block_.count == 0) return failWith(kNoMoreEntries);
  fillDeviceInfo(block_.slots[0], *info);
  cursor_ = block_.cursor = 1;
  publish();
  return 1;
}

int AutoCheckList::getNext(HubDeviceInfo* info) {
  if (info == nullptr) return failWith(kBadArgument);
  const std::lock_guard lock(ListLock);
  refreshLocked();
  if (block_.cursor >= block_.count) return failWith(kNoMoreEntries);
  fillDeviceInfo(block_.slots[block_.cursor], *info);
  cursor_ = ++block_.cursor;
  publish();
  return 1;
}

int AutoCheckList::getIndex(HubDeviceInfo* info, std::uint8_t index) {
  if (info == nullptr) return failWith(kBadArgument);
  const std::lock_guard lock(ListLock);
  refreshLocked();
  if (index >= block_.count) return failWith(kNotListed);
  fillDeviceInfo(block_.slots[index], *info);
  return 1;
}

int AutoCheckList::getSerial(HubDeviceInfo* info, const char16_t* serial) {
  if (info == nullptr) return failWith(kBadArgument);
  clearRecord(info);
  const std::lock_guard lock(ListLock);
  refreshLocked();
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
  // Filled by the edit when it first runs (a pending edit runs again over
  // every read, long after this call).
  const auto found = std::make_shared<AutoCheckRecord>();
  const std::lock_guard lock(ListLock);
  const int result = changeLocked([wanted, found](AutoCheckStore& block, Ids& ids) {
    std::size_t i = 0;
    while (i < block.count && !sameSerial(block.slots[i], wanted)) ++i;
    if (i == block.count) return failWith(kNotListed);
    *found = block.slots[i];
    --block.count;
    // The slot that falls out of the list keeps its old bytes.
    std::copy(block.slots + i + 1, block.slots + block.count + 1, block.slots + i);
    std::copy(ids.begin() + static_cast<std::ptrdiff_t>(i) + 1, ids.begin() + block.count + 1,
              ids.begin() + static_cast<std::ptrdiff_t>(i));
    return 1;
  });
  if (result != 0 && removed != nullptr) *removed = *found;
  return result;
}

void AutoCheckList::load() {
  const std::lock_guard lock(ListLock);
  // Any length and content: the block from the first bytes, made safe
  // (storeFromBytes); a missing file is created empty, an unreadable one
  // reads as empty.
  const auto bytes = files::readStartCreating(storeFile_, sizeof(AutoCheckStore));
  const std::span<const std::uint8_t> read =
      bytes ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>();
  stored_ = storeFromBytes(read);
  storedSettings_ = {read.size() > 0 ? read[0] : 0, read.size() > 1 ? read[1] : 0};
  for (auto& id : storedIds_) id = nextId_++;
  storedIsOwn_ = false;
  pending_.clear();
  cursor_ = stored_.cursor;
  checkIndex_ = stored_.checkIndex;
  rebuildLocked();
}

bool AutoCheckList::save() {
  const std::lock_guard lock(ListLock);
  const CrossProcessHold hold(storeLock_, kStoreLockWait);
  if (!hold.mayProceed()) return false;
  refreshLocked();
  const bool written = writeLocked();
  publish();
  return written;
}

bool AutoCheckList::saveAtExit() {
  const Published& last = published_[lastPublished_.load()];
  return !last.unsaved || SaveAutoCheckStore(folder_, last.block);
}

bool AutoCheckList::recoveryOn() {
  const std::lock_guard lock(ListLock);
  refreshLocked();
  return block_.recoveryOn != 0;
}

void AutoCheckList::setRecoveryOn(bool on) {
  const std::lock_guard lock(ListLock);
  changeLocked([on](AutoCheckStore& block, Ids&) {
    block.recoveryOn = on ? 1 : 0;
    return 1;
  });
}

std::pair<std::uint8_t, std::uint8_t> AutoCheckList::settings() {
  const std::lock_guard lock(ListLock);
  refreshLocked();
  return {block_.interval, block_.offTime};
}

std::optional<AutoCheckList::Watched> AutoCheckList::nextUnchecked(
    const std::vector<std::uint64_t>& done) {
  const std::lock_guard lock(ListLock);
  for (std::size_t i = 0; i < block_.count; ++i) {
    if (std::find(done.begin(), done.end(), ids_[i]) != done.end()) continue;
    checkIndex_ = block_.checkIndex = static_cast<std::uint8_t>(i);
    publish();
    return Watched{block_.slots[i], ids_[i]};
  }
  return std::nullopt;
}

bool AutoCheckList::storeCounters(std::uint64_t id, RecordCounters counters) {
  const std::lock_guard lock(ListLock);
  const auto at = std::find(ids_.begin(), ids_.begin() + block_.count, id);
  if (at == ids_.begin() + block_.count) return false;
  const AutoCheckRecord& record = block_.slots[at - ids_.begin()];
  // Most cycles leave both counters at 0: the store is written only for a
  // change.
  if (record.offCountdown == counters.offCountdown &&
      record.failureCount == counters.failureCount) {
    return true;
  }
  return changeLocked([id, counters](AutoCheckStore& block, Ids& ids) {
           for (std::size_t i = 0; i < block.count; ++i) {
             if (ids[i] != id) continue;
             block.slots[i].offCountdown = counters.offCountdown;
             block.slots[i].failureCount = counters.failureCount;
             return 1;
           }
           return 0;
         }) != 0;
}

std::vector<AutoCheckRecord> AutoCheckList::takeHeldOff() {
  const auto held = std::make_shared<std::vector<AutoCheckRecord>>();
  const std::lock_guard lock(ListLock);
  changeLocked([held](AutoCheckStore& block, Ids&) {
    held->clear();
    for (std::size_t i = 0; i < block.count; ++i) {
      if (block.slots[i].offCountdown == 0) continue;
      held->push_back(block.slots[i]);
      block.slots[i].offCountdown = 0;
    }
    return held->empty() ? 0 : 1;
  });
  return *held;
}

AutoCheckStore AutoCheckList::snapshot() {
  const std::lock_guard lock(ListLock);
  refreshLocked();
  return block_;
}

int AutoCheckList::changeLocked(Edit edit) {
  const CrossProcessHold hold(storeLock_, kStoreLockWait);
  if (hold.mayProceed()) refreshLocked();
  const int result = edit(block_, ids_);
  if (result == 0) return 0;
  pending_.push_back(std::move(edit));
  if (!hold.mayProceed() || !writeLocked()) {
    if (pending_.size() > kMostPendingEdits) {
      stored_ = block_;
      storedIds_ = ids_;
      storedIsOwn_ = true;
      pending_.clear();
    }
  }
  publish();
  return result;
}

void AutoCheckList::refreshLocked() {
  if (!storedIsOwn_) {
    const auto bytes = files::readStartCreating(storeFile_, sizeof(AutoCheckStore));
    // Only a whole block is taken: a store found short or missing was not
    // written by a library (they replace it whole), and this process's
    // list then stands until its next write puts it back.
    if (bytes && bytes->size() == sizeof(AutoCheckStore)) {
      AutoCheckStore now = storeFromBytes(*bytes);
      // Settings of 0 become 1 at load only: settings the store has kept
      // since stay as this process has them, and settings another process
      // set are taken as they were set.
      const std::uint8_t interval = (*bytes)[offsetof(AutoCheckStore, interval)];
      const std::uint8_t offTime = (*bytes)[offsetof(AutoCheckStore, offTime)];
      if (interval == storedSettings_.first && offTime == storedSettings_.second) {
        now.interval = stored_.interval;
        now.offTime = stored_.offTime;
      } else {
        now.interval = interval;
        now.offTime = offTime;
        storedSettings_ = {interval, offTime};
      }
      if (!sameList(now, stored_)) {
        // Another process changed the list: each record keeps its identity,
        // matched by serial in order, and the new ones get new identities.
        Ids ids{};
        std::array<bool, kListCapacity> taken{};
        for (std::size_t i = 0; i < now.count; ++i) {
          std::size_t j = 0;
          while (j < stored_.count && (taken[j] || !sameSerial(stored_.slots[j], now.slots[i]))) {
            ++j;
          }
          if (j < stored_.count) {
            taken[j] = true;
            ids[i] = storedIds_[j];
          } else {
            ids[i] = nextId_++;
          }
        }
        storedIds_ = ids;
      }
      stored_ = now;
    }
  }
  rebuildLocked();
}

void AutoCheckList::rebuildLocked() {
  // Pending edits run again over the store; their refusals are no news for
  // the caller.
  const FailureReason reason = failureReason();
  block_ = stored_;
  ids_ = storedIds_;
  for (const Edit& edit : pending_) edit(block_, ids_);
  setFailureReason(reason);
  cursor_ = std::min(cursor_, block_.count);
  if (checkIndex_ >= block_.count) checkIndex_ = 0;
  block_.cursor = cursor_;
  block_.checkIndex = checkIndex_;
  publish();
}

bool AutoCheckList::writeLocked() {
  if (!SaveAutoCheckStore(folder_, block_)) return false;
  stored_ = block_;
  storedSettings_ = {block_.interval, block_.offTime};
  storedIds_ = ids_;
  storedIsOwn_ = false;
  pending_.clear();
  return true;
}

void AutoCheckList::publish() {
  // Written whole into the copy not in use, then named: a writer ended
  // half-way leaves the other copy as it was.
  const std::size_t next = 1 - lastPublished_.load();
  published_[next] = {block_, !pending_.empty() || storedIsOwn_};
  lastPublished_.store(next);
}

}  // namespace korvex::recovery
