// The library, loaded at run time: korvexctl links none of it, so that the
// simulated world can be chosen (KORVEX_SIM_WORLD) after the command line is
// read and before the library's load handling binds it.
#pragma once

#include <korvex.h>

#include <optional>
#include <string>

namespace korvexctl {

// Every export korvexctl calls, with the types (and calling convention) of
// its declaration in korvex.h.
struct HubFunctions {
  decltype(&::Hub_GetDeviceInfo) Hub_GetDeviceInfo = nullptr;
  decltype(&::Hub_GetNextDeviceInfo) Hub_GetNextDeviceInfo = nullptr;
  decltype(&::Hub_GetDeviceInfoIndex) Hub_GetDeviceInfoIndex = nullptr;
  decltype(&::Hub_GetStatus) Hub_GetStatus = nullptr;
  decltype(&::Hub_SetStatus) Hub_SetStatus = nullptr;
  decltype(&::Hub_SetReset) Hub_SetReset = nullptr;
  decltype(&::Hub_GetFault) Hub_GetFault = nullptr;
  decltype(&::Hub_SetPICWrite) Hub_SetPICWrite = nullptr;
  decltype(&::Hub_GetRTC) Hub_GetRTC = nullptr;
  decltype(&::Hub_SetRTC) Hub_SetRTC = nullptr;
  decltype(&::Hub_ReadFram) Hub_ReadFram = nullptr;
  decltype(&::Hub_WriteFram) Hub_WriteFram = nullptr;
  decltype(&::Hub_WriteUSBSerial) Hub_WriteUSBSerial = nullptr;
  decltype(&::Hub_SetAutoCheckTimeInfo) Hub_SetAutoCheckTimeInfo = nullptr;
  decltype(&::Hub_GetAutoCheckTimeInfo) Hub_GetAutoCheckTimeInfo = nullptr;
  decltype(&::Hub_SetAutoCheckDeviceInfo) Hub_SetAutoCheckDeviceInfo = nullptr;
  decltype(&::Hub_GetAutoCheckDeviceInfo) Hub_GetAutoCheckDeviceInfo = nullptr;
  decltype(&::Hub_GetNextAutoCheckDeviceInfo) Hub_GetNextAutoCheckDeviceInfo = nullptr;
  decltype(&::Hub_GetAutoCheckDeviceInfoSerial) Hub_GetAutoCheckDeviceInfoSerial = nullptr;
  decltype(&::Hub_DeleteAutoCheckDeviceInfo) Hub_DeleteAutoCheckDeviceInfo = nullptr;
  decltype(&::Hub_StartAutoRecovery) Hub_StartAutoRecovery = nullptr;
  decltype(&::Hub_StopAutoRecovery) Hub_StopAutoRecovery = nullptr;
  decltype(&::Hub_GetAutoRecoveryStatus) Hub_GetAutoRecoveryStatus = nullptr;
  decltype(&::Hub_GetLastError) Hub_GetLastError = nullptr;
};

// Loads the library (libkorvex.so from korvexctl's run path, or korvex.dll
// beside korvexctl.exe; with simulated, the library over the simulated
// world that the build made) and resolves every function; it stays loaded until
// the process ends, whose unload handling stops the watchdog and saves the
// store. nullopt when done, else what went wrong.
std::optional<std::string> loadHubLibrary(bool simulated);

// The functions; only after a successful loadHubLibrary().
const HubFunctions& library();

}  // namespace korvexctl
