// Serializes the exchanges of one command per controller, so that two
// threads talking to the same controller never read each other's replies.
//
// A command holds its controller's lock from open to close. It is the last
// lock anyone takes and nothing else is locked while it is held, so it adds
// no lock-order cycle to the library. Each controller serial has a lock of
// its own while anyone holds or waits for it, so the status reads of a scan
// that run side by side never wait for another controller's exchanges.
#pragma once

#include <cstddef>
#include <map>
#include <mutex>
#include <string>

namespace korvex::controller {

class ControllerLocks {
  struct Entry {
    std::mutex mutex;
    std::size_t users = 0;  // holders and waiters; the entry goes with the last
  };

 public:
  // The lock of one serial, held from construction to destruction.
  class Held {
   public:
    Held(ControllerLocks& locks, const char16_t* serial);
    ~Held();
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

   private:
    ControllerLocks& locks_;
    std::map<std::u16string, Entry>::iterator entry_;
  };

 private:
  std::mutex entriesLock_;  // guards entries_; held only to find or drop an entry
  std::map<std::u16string, Entry> entries_;
};

}  // namespace korvex::controller
