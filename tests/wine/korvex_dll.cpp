#include "korvex_dll.h"

#include <string>
#include <type_traits>

#include "child_process.h"

namespace korvex::wine {

namespace {

// The public header must declare what is called here.
static_assert(std::is_same_v<decltype(RecoveryExports::SetAutoCheckTimeInfo),
                             decltype(&Hub_SetAutoCheckTimeInfo)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetAutoCheckTimeInfo),
                             decltype(&Hub_GetAutoCheckTimeInfo)>);
static_assert(std::is_same_v<decltype(RecoveryExports::SetAutoCheckDeviceInfo),
                             decltype(&Hub_SetAutoCheckDeviceInfo)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetAutoCheckDeviceInfo),
                             decltype(&Hub_GetAutoCheckDeviceInfo)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetNextAutoCheckDeviceInfo),
                             decltype(&Hub_GetNextAutoCheckDeviceInfo)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetAutoCheckDeviceInfoIndex),
                             decltype(&Hub_GetAutoCheckDeviceInfoIndex)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetAutoCheckDeviceInfoSerial),
                             decltype(&Hub_GetAutoCheckDeviceInfoSerial)>);
static_assert(std::is_same_v<decltype(RecoveryExports::DeleteAutoCheckDeviceInfo),
                             decltype(&Hub_DeleteAutoCheckDeviceInfo)>);
static_assert(
    std::is_same_v<decltype(RecoveryExports::StartAutoRecovery), decltype(&Hub_StartAutoRecovery)>);
static_assert(
    std::is_same_v<decltype(RecoveryExports::StopAutoRecovery), decltype(&Hub_StopAutoRecovery)>);
static_assert(std::is_same_v<decltype(RecoveryExports::GetAutoRecoveryStatus),
                             decltype(&Hub_GetAutoRecoveryStatus)>);

template <typename Fn>
bool resolve(HMODULE module, const char* name, Fn& into) {
  into = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  return into != nullptr;
}

std::chrono::milliseconds since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start);
}

}  // namespace

const std::wstring& korvexDllPath() {
  // The program's folder stays put for the whole run; mapped() asks for the
  // path on every poll.
  static const std::wstring path = ownFolder() + L"korvex.dll";
  return path;
}

KorvexDll::KorvexDll() {
  // Loaded already, the DLL would only count one more reference and run
  // no load handling.
  if (!waitUnmapped()) return;
  const auto start = std::chrono::steady_clock::now();
  module_ = LoadLibraryW(korvexDllPath().c_str());
  loadTime_ = since(start);
  if (module_ == nullptr) return;
  RecoveryExports& e = exports_;
  const bool complete =
      resolve(module_, "Hub_SetAutoCheckTimeInfo", e.SetAutoCheckTimeInfo) &&
      resolve(module_, "Hub_GetAutoCheckTimeInfo", e.GetAutoCheckTimeInfo) &&
      resolve(module_, "Hub_SetAutoCheckDeviceInfo", e.SetAutoCheckDeviceInfo) &&
      resolve(module_, "Hub_GetAutoCheckDeviceInfo", e.GetAutoCheckDeviceInfo) &&
      resolve(module_, "Hub_GetNextAutoCheckDeviceInfo", e.GetNextAutoCheckDeviceInfo) &&
      resolve(module_, "Hub_GetAutoCheckDeviceInfoIndex", e.GetAutoCheckDeviceInfoIndex) &&
      resolve(module_, "Hub_GetAutoCheckDeviceInfoSerial", e.GetAutoCheckDeviceInfoSerial) &&
      resolve(module_, "Hub_DeleteAutoCheckDeviceInfo", e.DeleteAutoCheckDeviceInfo) &&
      resolve(module_, "Hub_StartAutoRecovery", e.StartAutoRecovery) &&
      resolve(module_, "Hub_StopAutoRecovery", e.StopAutoRecovery) &&
      resolve(module_, "Hub_GetAutoRecoveryStatus", e.GetAutoRecoveryStatus);
  if (!complete) unload();
}

KorvexDll::~KorvexDll() {
  unload();
}

std::chrono::milliseconds KorvexDll::unload() {
  if (module_ == nullptr) return std::chrono::milliseconds{0};
  const auto start = std::chrono::steady_clock::now();
  FreeLibrary(module_);
  const auto took = since(start);
  module_ = nullptr;
  exports_ = {};
  return took;
}

int KorvexDll::stopLeftoverWatchdog() {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(0, korvexDllPath().c_str(), &module)) return 0;
  const auto stop = reinterpret_cast<int(__stdcall*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "Hub_StopAutoRecovery")));
  const int result = stop != nullptr ? stop() : 0;
  FreeLibrary(module);
  waitUnmapped();
  return result;
}

bool KorvexDll::waitUnmapped() {
  // A stopped watchdog thread drops its reference to the library as its
  // last act, a moment after the stop has returned.
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (mapped()) {
    if (std::chrono::steady_clock::now() > until) return false;
    Sleep(1);
  }
  return true;
}

bool KorvexDll::mapped() {
  return GetModuleHandleW(korvexDllPath().c_str()) != nullptr;
}

}  // namespace korvex::wine
