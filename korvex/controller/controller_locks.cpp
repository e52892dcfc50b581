#include "korvex/controller/controller_locks.h"

#include "korvex/seam/usb_host.h"

namespace korvex::controller {

namespace {

// The units of the serial that can take part in a match.
std::u16string lockKey(const char16_t* serial) {
  std::u16string key;
  for (std::size_t i = 0; serial != nullptr && i < seam::kHidSerialUnits && serial[i]; ++i) {
    key += serial[i];
  }
  return key;
}

}  // namespace

ControllerLocks::Held::Held(ControllerLocks& locks, const char16_t* serial) : locks_(locks) {
  {
    const std::lock_guard lock(locks_.entriesLock_);
    entry_ = locks_.entries_.try_emplace(lockKey(serial)).first;
    ++entry_->second.users;
  }
  entry_->second.mutex.lock();
}

ControllerLocks::Held::~Held() {
  entry_->second.mutex.unlock();
  const std::lock_guard lock(locks_.entriesLock_);
  if (--entry_->second.users == 0) locks_.entries_.erase(entry_);
}

}  // namespace korvex::controller
