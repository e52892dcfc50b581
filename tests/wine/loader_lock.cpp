#include "loader_lock.h"

#include <windows.h>

namespace korvex::wine {

namespace {

using LockFn = LONG(NTAPI*)(ULONG flags, ULONG* disposition, std::uintptr_t* cookie);
using UnlockFn = LONG(NTAPI*)(ULONG flags, std::uintptr_t cookie);

template <typename Fn>
Fn fromNtdll(const char* name) {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

}  // namespace

HeldLoaderLock::HeldLoaderLock() {
  const auto lock = fromNtdll<LockFn>("LdrLockLoaderLock");
  // Flags 0: wait for the lock.
  held_ = lock != nullptr && fromNtdll<UnlockFn>("LdrUnlockLoaderLock") != nullptr &&
          lock(0, nullptr, &cookie_) >= 0;
}

HeldLoaderLock::~HeldLoaderLock() {
  if (held_) fromNtdll<UnlockFn>("LdrUnlockLoaderLock")(0, cookie_);
}

}  // namespace korvex::wine
