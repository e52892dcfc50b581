// Child processes, as the tests start copies of themselves.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

namespace korvex::wine {

struct ChildExit {
  bool ended = false;  // false: still running at the time-out, then ended by force
  DWORD exitCode = 0;
  std::chrono::milliseconds elapsed{0};
};

// Runs program with the command-line tail arguments, sharing this process's
// console, and waits up to timeout for it to end.
ChildExit runChild(const std::wstring& program, const std::wstring& arguments,
                   std::chrono::milliseconds timeout);

// This program's executable, and its folder with the trailing separator.
std::wstring ownPath();
std::wstring ownFolder();

// "37", or "0xC0000005 (access violation)" for an unhandled exception's code.
std::string describeExitCode(DWORD code);

}  // namespace korvex::wine
