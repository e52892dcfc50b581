// The auto-recovery list and the watchdog's settings, in the block that is
// also the store file.
//
// One lock, ListLock, guards the block. It is never held during input or
// output, a controller exchange or a wait, and no other lock is taken while
// it is held, so the program's list calls never wait for a USB scan and the
// watchdog can step through the list while the program adds or deletes.
// Every record carries an identity (kept beside the block, not in it) that
// moves with it when a deletion shifts the slots; the watchdog works on a
// copy of a record and stores its counters back by that identity.
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
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "korvex/recovery/auto_check_store.h"
#include "korvex/recovery/record_check.h"

namespace korvex::recovery {

class AutoCheckList {
 public:
  // The store file lives in folder.
  explicit AutoCheckList(std::filesystem::path folder) : folder_(std::move(folder)) {}

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
  // Writes the block to the store file. False when it could not be written.
  bool save();
  // The save at process exit: the last published copy, taking no lock.
  bool saveAtExit();

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
  // stands. False, storing nothing, when it has been deleted meanwhile.
  bool storeCounters(std::uint64_t id, RecordCounters counters);

  // The records whose power the watchdog holds off (an off countdown
  // running), their countdowns cleared: the caller switches them on.
  std::vector<AutoCheckRecord> takeHeldOff();

  // A copy of the block, for tests and tools.
  AutoCheckStore snapshot();

 private:
  // ListLock held for a change of the block, published when it ends.
  class Change {
   public:
    explicit Change(AutoCheckList& list) : list_(list), lock_(list.ListLock) {}
    ~Change() { list_.publish(); }
    Change(const Change&) = delete;
    Change& operator=(const Change&) = delete;

   private:
    AutoCheckList& list_;
    std::lock_guard<std::mutex> lock_;
  };
  void publish();  // with ListLock held

  const std::filesystem::path folder_;
  std::mutex ListLock;
  std::mutex saveLock_;  // one save at a time; taken before ListLock
  AutoCheckStore block_{};
  std::array<std::uint64_t, kListCapacity> ids_{};
  std::uint64_t nextId_ = 1;
  std::array<AutoCheckStore, 2> published_{};
  std::atomic<std::size_t> lastPublished_{0};  // the copy that is whole
};

}  // namespace korvex::recovery
