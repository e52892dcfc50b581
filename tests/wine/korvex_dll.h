// korvex.dll loaded by path from the program's folder, as a foreign caller
// meets it: the auto-recovery exports resolved by their plain names into
// pointers spelled out here as __stdcall. Each load and unload runs the
// library's load and unload handling, because nothing else in the process
// holds the DLL.
#pragma once

#include <windows.h>

#include <korvex.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace korvex::wine {

struct RecoveryExports {
  int(__stdcall* SetAutoCheckTimeInfo)(unsigned int interval, unsigned int offTime);
  int(__stdcall* GetAutoCheckTimeInfo)(std::uint8_t* interval, std::uint8_t* offTime);
  int(__stdcall* SetAutoCheckDeviceInfo)(const HubDeviceInfo* info);
  int(__stdcall* GetAutoCheckDeviceInfo)(HubDeviceInfo* info);
  int(__stdcall* GetNextAutoCheckDeviceInfo)(HubDeviceInfo* info);
  int(__stdcall* GetAutoCheckDeviceInfoIndex)(HubDeviceInfo* info, unsigned int index);
  int(__stdcall* GetAutoCheckDeviceInfoSerial)(HubDeviceInfo* info, const wchar_t* serial);
  int(__stdcall* DeleteAutoCheckDeviceInfo)(const HubDeviceInfo* info);
  int(__stdcall* StartAutoRecovery)();
  int(__stdcall* StopAutoRecovery)();
  int(__stdcall* GetAutoRecoveryStatus)();
};

// korvex.dll in the program's folder.
const std::wstring& korvexDllPath();

class KorvexDll {
 public:
  // Loads the DLL; loaded() tells whether it loaded afresh (it was not
  // mapped before) with every export found.
  KorvexDll();
  ~KorvexDll();
  KorvexDll(const KorvexDll&) = delete;
  KorvexDll& operator=(const KorvexDll&) = delete;

  bool loaded() const { return module_ != nullptr; }
  std::chrono::milliseconds loadTime() const { return loadTime_; }
  // The exports; null pointers while not loaded.
  const RecoveryExports& hub() const { return exports_; }

  // FreeLibrary; returns how long it took. A running watchdog keeps the DLL
  // mapped afterwards (see mapped() and stopLeftoverWatchdog()).
  std::chrono::milliseconds unload();

  // For a library that a running watchdog kept loaded after its last
  // FreeLibrary: takes a reference, stops auto recovery through it and
  // releases the reference, which unloads the library. Returns the stop's
  // result (0 when the library was not mapped).
  static int stopLeftoverWatchdog();

  // Leaves the DLL loaded for the rest of the process, whose end then
  // brings the unload.
  void keepLoaded() {
    module_ = nullptr;
    exports_ = {};
  }

  // Whether korvex.dll from the program's folder is mapped into the process.
  static bool mapped();
  // Waits up to 2 s for the DLL to be unmapped; true when it is.
  static bool waitUnmapped();

 private:
  HMODULE module_ = nullptr;
  RecoveryExports exports_{};
  std::chrono::milliseconds loadTime_{0};
};

}  // namespace korvex::wine
