#include "child_process.h"

#include <cstdio>
#include <vector>

namespace korvex::wine {

ChildExit runChild(const std::wstring& program, const std::wstring& arguments,
                   std::chrono::milliseconds timeout) {
  // The child's own argv[0] comes first on its command line.
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // What this process printed must come before what the child prints.
  std::fflush(stdout);
  std::fflush(stderr);
  const auto start = std::chrono::steady_clock::now();
  if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::fprintf(stderr, "CreateProcessW failed: error %lu\n", GetLastError());
    return {};
  }
  CloseHandle(process.hThread);
  ChildExit result;
  result.ended =
      WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  if (!result.ended) TerminateProcess(process.hProcess, 1);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &result.exitCode);
  CloseHandle(process.hProcess);
  return result;
}

std::wstring ownPath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  while (GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size())) ==
         buffer.size()) {
    buffer.resize(buffer.size() * 2);
  }
  return buffer.data();
}

std::wstring ownFolder() {
  const std::wstring path = ownPath();
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string describeExitCode(DWORD code) {
  if (code < 0xC0000000UL) return std::to_string(code);
  char text[64];
  std::snprintf(text, sizeof text, "0x%08lX (%s)", code,
                code == STATUS_ACCESS_VIOLATION ? "access violation" : "unhandled exception");
  return text;
}

}  // namespace korvex::wine
