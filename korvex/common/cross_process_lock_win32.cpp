// The lock over a named mutex.
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <system_error>

#include "korvex/common/cross_process_lock.h"

namespace korvex {

namespace {

// Everyone may wait for the mutex and release it, nothing more, so that
// the processes of other users on the machine find the same lock.
constexpr const wchar_t* kEveryoneMaySynchronize = L"D:(A;;0x00100001;;;WD)";
constexpr DWORD kMutexAccess = SYNCHRONIZE | MUTEX_MODIFY_STATE;

// The file's full path in upper case, so that names differing only in case
// (one file on Windows) give one lock, hashed to fit a name (FNV-1a).
std::wstring nameFor(const std::filesystem::path& file, unsigned slot, const wchar_t* space) {
  std::error_code error;
  std::wstring path = std::filesystem::absolute(file, error).wstring();
  if (error) path = file.wstring();
  if (!path.empty()) {
    std::wstring upper(path.size(), L'\0');
    const int n = LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, path.c_str(),
                                static_cast<int>(path.size()), upper.data(),
                                static_cast<int>(upper.size()), nullptr, nullptr, 0);
    if (n == static_cast<int>(upper.size())) path = upper;
  }
  std::uint64_t hash = 14695981039346656037ull;
  for (const wchar_t unit : path) {
    hash = (hash ^ static_cast<std::uint16_t>(unit)) * 1099511628211ull;
  }
  wchar_t name[80];
  std::swprintf(name, 80, L"%ls\\korvex-%016llx-%u", space, static_cast<unsigned long long>(hash),
                slot);
  return name;
}

HANDLE openMutex(const std::wstring& name) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  SECURITY_ATTRIBUTES attributes{sizeof attributes, nullptr, FALSE};
  if (ConvertStringSecurityDescriptorToSecurityDescriptorW(kEveryoneMaySynchronize, SDDL_REVISION_1,
                                                           &descriptor, nullptr)) {
    attributes.lpSecurityDescriptor = descriptor;
  }
  HANDLE mutex = CreateMutexExW(&attributes, name.c_str(), 0, kMutexAccess);
  if (descriptor != nullptr) LocalFree(descriptor);
  return mutex;
}

}  // namespace

struct CrossProcessLock::System {
  HANDLE mutex = nullptr;
  ~System() {
    if (mutex != nullptr) CloseHandle(mutex);
  }
};

CrossProcessLock::CrossProcessLock(std::filesystem::path file, unsigned slot)
    : file_(std::move(file)), slot_(slot), system_(std::make_unique<System>()) {}

CrossProcessLock::~CrossProcessLock() {
  unlock();
}

CrossProcessLock::Outcome CrossProcessLock::tryOnce() {
  if (system_->mutex == nullptr) {
    // The machine-wide namespace reaches other users' sessions; where it is
    // refused, the session's own still serves its processes.
    system_->mutex = openMutex(nameFor(file_, slot_, L"Global"));
    if (system_->mutex == nullptr) system_->mutex = openMutex(nameFor(file_, slot_, L"Local"));
    if (system_->mutex == nullptr) return Outcome::Unavailable;
  }
  switch (WaitForSingleObject(system_->mutex, 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended without releasing it
      return Outcome::Taken;
    case WAIT_TIMEOUT:
      return Outcome::HeldElsewhere;
    default:
      return Outcome::Unavailable;
  }
}

void CrossProcessLock::unlock() {
  if (!held_) return;
  held_ = false;
  ReleaseMutex(system_->mutex);
}

}  // namespace korvex
