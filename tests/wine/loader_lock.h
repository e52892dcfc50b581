// The system loader's lock, taken and released by a test: the lock that
// every load and unload of a DLL holds while it runs the DLL's entry point.
// The loader exports no documented way to take it; ntdll's
// LdrLockLoaderLock and LdrUnlockLoaderLock are found by name.
#pragma once

#include <cstdint>

namespace korvex::wine {

class LoaderLock {
 public:
  LoaderLock();

  // Whether both functions were found.
  bool available() const { return lock_ != nullptr && unlock_ != nullptr; }

  // Waits for the lock; it may be taken again by the same thread, as every
  // load and unload does.
  void lock() const;
  void unlock() const;

 private:
  using LockFn = long(__stdcall*)(unsigned long flags, unsigned long* disposition,
                                  std::uintptr_t* cookie);
  using UnlockFn = long(__stdcall*)(unsigned long flags, std::uintptr_t cookie);

  LockFn lock_ = nullptr;
  UnlockFn unlock_ = nullptr;
  mutable std::uintptr_t cookie_ = 0;
};

}  // namespace korvex::wine
