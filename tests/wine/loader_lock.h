// The system loader's lock, held by a test for the lifetime of an object:
// the lock that every load and unload of a DLL holds while it runs the
// DLL's entry point, and that the same thread may take again. The loader
// exports no documented way to take it; ntdll's LdrLockLoaderLock and
// LdrUnlockLoaderLock are found by name.
#pragma once

#include <cstdint>

namespace korvex::wine {

class HeldLoaderLock {
 public:
  // Waits for the lock.
  HeldLoaderLock();
  ~HeldLoaderLock();
  HeldLoaderLock(const HeldLoaderLock&) = delete;
  HeldLoaderLock& operator=(const HeldLoaderLock&) = delete;

  // False when the loader's functions were not found.
  bool held() const { return held_; }

 private:
  std::uintptr_t cookie_ = 0;
  bool held_ = false;
};

}  // namespace korvex::wine
