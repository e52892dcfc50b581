#include "loader_lock.h"

#include <windows.h>

namespace korvex::wine {

LoaderLock::LoaderLock() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return;
  lock_ =
      reinterpret_cast<LockFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrLockLoaderLock")));
  unlock_ = reinterpret_cast<UnlockFn>(
      reinterpret_cast<void*>(GetProcAddress(ntdll, "LdrUnlockLoaderLock")));
}

void LoaderLock::lock() const {
  // Flags 0: wait for the lock.
  lock_(0, nullptr, &cookie_);
}

void LoaderLock::unlock() const {
  unlock_(0, cookie_);
}

}  // namespace korvex::wine
