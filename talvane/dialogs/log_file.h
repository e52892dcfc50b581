// The library's event log as the program reaches it: by its full path
// beside the executable (where the library keeps it), read with sharing
// that never stands in the way of the library's appends.
#pragma once

#include <windows.h>

#include <string>

namespace talvane {

// "korvex.log" in the folder of the running executable.
std::wstring libraryLogPath();

// How the program opens the log: never in the way of the library's
// appends, nor of its deletion.
inline constexpr DWORD kLogReadSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The whole file's bytes, or nothing when it cannot be opened. The file is
// opened sharing read, write and delete access, so a watchdog append that
// comes meanwhile succeeds.
std::string readLogFile(const std::wstring& path);

}  // namespace talvane
