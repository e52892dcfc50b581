#include "hub_library.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <dlfcn.h>
#endif

namespace korvexctl {

namespace {

HubFunctions functions;

#ifdef _WIN32
using Module = HMODULE;
constexpr char kLibraryName[] = "korvex.dll";

// korvex.dll in korvexctl.exe's own folder, never one found elsewhere.
Module openLibrary(bool, std::string& error) {
  std::vector<wchar_t> path(MAX_PATH);
  DWORD n = 0;
  while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
         path.size()) {
    path.resize(path.size() * 2);
  }
  std::wstring file(path.data(), n);
  file.erase(file.find_last_of(L"\\/") + 1);
  file += L"korvex.dll";
  const Module module = LoadLibraryW(file.c_str());
  if (module == nullptr) error = "error " + std::to_string(GetLastError());
  return module;
}

void* symbol(Module module, const char* name) {
  // Through the one function pointer type that every other converts from.
  return reinterpret_cast<void*>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
#else
using Module = void*;
constexpr char kLibraryName[] = "libkorvex.so";

// The product's library from the run path; over a simulated world, the
// build's simulated one (an installed korvexctl has none).
Module openLibrary(bool simulated, std::string& error) {
#ifdef KORVEXCTL_SIM_LIBRARY
  const char* file = simulated ? KORVEXCTL_SIM_LIBRARY : kLibraryName;
#else
  if (simulated) {
    error = "this korvexctl was built without the simulated world";
    return nullptr;
  }
  const char* file = kLibraryName;
#endif
  const Module module = dlopen(file, RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) error = dlerror();
  return module;
}

void* symbol(Module module, const char* name) {
  return dlsym(module, name);
}
#endif

// Fills the slot; the first name that is not found is kept in missing.
template <typename Function>
void resolve(Module module, Function& slot, const char* name, std::string& missing) {
  slot = reinterpret_cast<Function>(symbol(module, name));
  if (slot == nullptr && missing.empty()) missing = name;
}

}  // namespace

std::optional<std::string> loadHubLibrary(bool simulated) {
  std::string error;
  const Module module = openLibrary(simulated, error);
  if (module == nullptr)
    return std::string("cannot load the library ") + kLibraryName + ": " + error;
  HubFunctions f;
  std::string missing;
  // Each member by its own name.
#define KORVEXCTL_RESOLVE(name) resolve(module, f.name, #name, missing)
  KORVEXCTL_RESOLVE(Hub_GetDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_GetNextDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_GetDeviceInfoIndex);
  KORVEXCTL_RESOLVE(Hub_GetStatus);
  KORVEXCTL_RESOLVE(Hub_SetStatus);
  KORVEXCTL_RESOLVE(Hub_SetReset);
  KORVEXCTL_RESOLVE(Hub_GetFault);
  KORVEXCTL_RESOLVE(Hub_SetPICWrite);
  KORVEXCTL_RESOLVE(Hub_GetRTC);
  KORVEXCTL_RESOLVE(Hub_SetRTC);
  KORVEXCTL_RESOLVE(Hub_ReadFram);
  KORVEXCTL_RESOLVE(Hub_WriteFram);
  KORVEXCTL_RESOLVE(Hub_WriteUSBSerial);
  KORVEXCTL_RESOLVE(Hub_SetAutoCheckTimeInfo);
  KORVEXCTL_RESOLVE(Hub_GetAutoCheckTimeInfo);
  KORVEXCTL_RESOLVE(Hub_SetAutoCheckDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_GetAutoCheckDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_GetNextAutoCheckDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_GetAutoCheckDeviceInfoSerial);
  KORVEXCTL_RESOLVE(Hub_DeleteAutoCheckDeviceInfo);
  KORVEXCTL_RESOLVE(Hub_StartAutoRecovery);
  KORVEXCTL_RESOLVE(Hub_StopAutoRecovery);
  KORVEXCTL_RESOLVE(Hub_GetAutoRecoveryStatus);
  KORVEXCTL_RESOLVE(Hub_GetLastError);
#undef KORVEXCTL_RESOLVE
  if (!missing.empty()) return std::string(kLibraryName) + " has no function " + missing;
  functions = f;
  return std::nullopt;
}

const HubFunctions& library() {
  return functions;
}

}  // namespace korvexctl
