// The auto-recovery list and the watchdog's settings, in the block that is
// also the store file.
//
// The store file is the list: every process whose library keeps its files
// in the same folder sees one list. A change is a read-modify-write of the
// store under a lock all those processes share (the store lock), and every
// call that reads the list first takes in the store as it stands now, so
// each process sees the others' changes at its next list call. The cursor
// and the check index are this process's own and never taken from others.
//
// A change that could not be written (the store or its folder refuses it,
// or the store lock stayed held elsewhere) is kept as a pending edit: it is
// applied again over the store at every read, and written with the next
// change or save, so a failed write loses neither this process's change
// nor another's.
//
// One lock, ListLock, guards the block. It is held for the store's own
// reads and writes, never during a device call or any other wait, and no
// other lock of the library is taken while it is held, so the program's
// list calls never wait for a USB scan and the watchdog can step through
// the list while the program adds or deletes. Every record carries an
// identity (kept beside the block, not in it) that moves with it when a
// deletion shifts the slots; the watchdog works on a copy of a record and
// stores its counters back by that identity.
//
// Each change also publishes a whole copy of the block, so that the save
// at process exit needs no lock: a thread the system ended mid-change may
// still hold ListLock then, and the copy published before is whole.
#pragma once

#include <korvex.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "korvex/common/cross_process_lock.h"
#include "korvex/recovery/auto_check_store.h"
#include "korvex/recovery/record_check.h"

namespace korvex::recovery {

// The cross-process locks named after the store file: the store lock
// guards each read-modify-write; the watchdog lock is held by the one
// watchdog that acts on the list.
inline constexpr unsigned kStoreLockSlot = 0;
inline constexpr unsigned kWatchdogLockSlot = 1;

class AutoCheckList {
 public:
  // The store file lives in folder.
  explicit AutoCheckList(std::filesystem::path folder);

  // The exports. Byte arguments are already cut to 8 bits.
  int setTimeInfo(std::uint8_t interval, std::uint8_t offTime);
  int getTimeInfo(std::uint8_t* interval, std::uint8_t* offTime);
  int add(const HubDeviceInfo* info);
  int getFirst(HubDeviceInfo* info);
  int getNext(HubDeviceInfo* info);
  int getIndex(HubDeviceInfo* info, std::uint8_t index);
  int getSerial(HubDeviceInfo* info, const char16_t* serial);
  // removed, when given, receives the record as it was in the list.
  int remove(const HubDeviceInfo* info, AutoCheckRecord* removed = nullptr);

  // Load: the block from the store file, made safe, settings of 0 as 1.
  void load();
  // Writes the list as this process sees it (its pending edits included)
  // to the store file. False when it could not be written.
  bool save();
  // The save at process exit: the last published copy, taking no lock,
  // and only when it holds edits the store has not got.
  bool saveAtExit();

  // The store file, whose name the cross-process locks derive from.
  const std::filesystem::path& storeFile() const { return storeFile_; }

  bool recoveryOn();
  void setRecoveryOn(bool on);
  std::pair<std::uint8_t, std::uint8_t> settings();  // interval, off time

  // The watchdog's walk through the list within one check cycle.
  struct Watched {
    AutoCheckRecord record;
    std::uint64_t id = 0;
  };
  // The first record, in list order, whose identity is not in done; the
  // check index is set to its slot. nullopt when every record is done.
  std::optional<Watched> nextUnchecked(const std::vector<std::uint64_t>& done);
  // Stores the counters into the record with this identity, wherever it now
  // stands (the store written only when they change). False, storing
  // nothing, when it has been deleted meanwhile.
  bool storeCounters(std::uint64_t id, RecordCounters counters);

  // The records whose power the watchdog holds off (an off countdown
  // running), their countdowns cleared: the caller switches them on.
  std::vector<AutoCheckRecord> takeHeldOff();

  // A copy of the block as this process sees it now, for tests and tools.
  AutoCheckStore snapshot();

 private:
  using Ids = std::array<std::uint64_t, kListCapacity>;
  // A change of the list: applied to a block and its identities, it
  // returns 1, or 0 (with the reason recorded) when it changes nothing.
  using Edit = std::function<int(AutoCheckStore&, Ids&)>;

  // With ListLock held: a read-modify-write of the store with edit.
  int changeLocked(Edit edit);
  // With ListLock held: the store as it stands now, and this process's
  // view of it rebuilt.
  void refreshLocked();
  void rebuildLocked();
  bool writeLocked();
  void publish();

  const std::filesystem::path folder_;
  const std::filesystem::path storeFile_;
  std::mutex ListLock;
  CrossProcessLock storeLock_;

  // The block as last read from or written to the store, and its identities.
  AutoCheckStore stored_{};
  Ids storedIds_{};
  // The settings' bytes as the store held them then (stored_ has them as
  // this process uses them: 0 read at load is taken as 1).
  std::pair<std::uint8_t, std::uint8_t> storedSettings_{};
  // Set when the edits kept pending grew too many: they are folded into
  // stored_, which then stands in for the store until a write succeeds.
  bool storedIsOwn_ = false;
  std::vector<Edit> pending_;  // not yet in the store, in order
  // The view: stored_ with the pending edits, and this process's cursor
  // and check index.
  AutoCheckStore block_{};
  Ids ids_{};
  std::uint8_t cursor_ = 0;
  std::uint8_t checkIndex_ = 0;
  std::atomic<std::uint64_t> nextId_{1};

  struct Published {
    AutoCheckStore block;
    bool unsaved = false;
  };
  std::array<Published, 2> published_{};
  std::atomic<std::size_t> lastPublished_{0};  // the copy that is whole
};

}  // namespace korvex::recovery
