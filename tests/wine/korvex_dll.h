// korvex.dll loaded by path from the program's folder, its exports found by
// plain name and called as __stdcall; each load and unload runs its load and
// unload handling (nothing else holds it). And the files it keeps there.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "child_process.h"

namespace korvex::wine {

class KorvexDll {
 public:
  // Loads the DLL afresh: loaded already, it would only count one more
  // reference and run no load handling.
  KorvexDll() {
    if (waitUnmapped()) module_ = LoadLibraryW(path().c_str());
  }
  ~KorvexDll() { unload(); }
  KorvexDll(const KorvexDll&) = delete;
  KorvexDll& operator=(const KorvexDll&) = delete;

  bool loaded() const { return module_ != nullptr; }
  // Calls the export with the arguments; 0 when it is missing.
  template <typename... Args>
  int call(const char* name, Args... args) const {
    return callIn(module_, name, args...);
  }
  // FreeLibrary; how long it took. A running watchdog keeps the DLL mapped.
  std::chrono::milliseconds unload() {
    const auto start = std::chrono::steady_clock::now();
    if (module_ != nullptr) FreeLibrary(std::exchange(module_, nullptr));
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start);
  }
  // Leaves the DLL loaded for the rest of the process.
  void keepLoaded() { module_ = nullptr; }

  // For a DLL that a running watchdog kept loaded after its last
  // FreeLibrary: a reference taken, Hub_StopAutoRecovery called through it
  // and the reference released, which unmaps it. The stop's result.
  static int stopLeftoverWatchdog() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(0, path().c_str(), &module)) return 0;
    const int result = callIn(module, "Hub_StopAutoRecovery");
    FreeLibrary(module);
    waitUnmapped();
    return result;
  }
  static bool mapped() { return GetModuleHandleW(path().c_str()) != nullptr; }
  // Waits up to 2 s for the DLL to be unmapped: a stopped watchdog drops its
  // reference as its last act, a moment after the stop returns.
  static bool waitUnmapped() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (mapped() && std::chrono::steady_clock::now() < until) Sleep(1);
    return !mapped();
  }

 private:
  static std::wstring path() { return ownFolder() + L"korvex.dll"; }
  template <typename... Args>
  static int callIn(HMODULE module, const char* name, Args... args) {
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    if (found == nullptr) return 0;
    return reinterpret_cast<int(__stdcall*)(Args...)>(reinterpret_cast<void*>(found))(args...);
  }
  HMODULE module_ = nullptr;
};

using Bytes = std::vector<std::uint8_t>;

inline constexpr const wchar_t* kStoreFile = L"korvex.dat";
inline constexpr const wchar_t* kStoreDraftFile = L"korvex.dat.new";
inline constexpr const wchar_t* kLogFile = L"korvex.log";
inline constexpr std::size_t kStoreSize = 33288;
inline constexpr std::size_t kStoreRecoveryOn = 2;  // header: interval, off time, on, count

// A store from its format (an 8-byte header, 32 records of 1040 bytes): the
// settings and one listed hub, its ASCII serial at byte 10 of the record.
inline Bytes storeImage(std::uint8_t interval, std::uint8_t offTime, std::uint8_t recoveryOn,
                        const std::string& serial) {
  Bytes bytes(kStoreSize, 0);
  bytes[0] = interval;
  bytes[1] = offTime;
  bytes[kStoreRecoveryOn] = recoveryOn;
  bytes[3] = 1;
  for (std::size_t i = 0; i < serial.size(); ++i) bytes[8 + 10 + 2 * i] = serial[i];
  return bytes;
}

// The whole file beside the program; nullopt when it does not exist.
inline std::optional<Bytes> readBesideProgram(const wchar_t* name) {
  std::ifstream in(std::filesystem::path(ownFolder() + name), std::ios::binary);
  if (!in) return std::nullopt;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline bool writeBesideProgram(const wchar_t* name, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(ownFolder() + name), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out.flush());
}

// The store, its draft and the log.
inline void removeLibraryFiles() {
  for (const wchar_t* name : {kStoreFile, kStoreDraftFile, kLogFile}) {
    std::error_code ignored;
    std::filesystem::remove(ownFolder() + name, ignored);
  }
}

}  // namespace korvex::wine
