#include "sandbox.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "child_process.h"

namespace korvex::wine {

namespace {

using namespace std::chrono_literals;

// Below the test's own time-out, so that a hang is reported from here.
constexpr auto kRunLimit = 110s;

std::wstring freshFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring program = ownPath();
  std::wstring stem = program.substr(program.find_last_of(L"\\/") + 1);
  stem.erase(stem.find_last_of(L'.'));
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring folder = std::wstring(temp) + stem + L"-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(attempt) + L"\\";
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
}

// Every file in the folder, then the folder. A program that has just ended
// may keep its executable busy for a moment.
void removeFolder(const std::wstring& folder) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
          DeleteFileW((folder + found.cFileName).c_str());
        }
      } while (FindNextFileW(search, &found));
      FindClose(search);
    }
    if (RemoveDirectoryW(folder.c_str())) return;
    Sleep(100);
  }
  std::fprintf(stderr, "could not remove %ls\n", folder.c_str());
}

// The command line without the program's own name (its first word, quoted
// or not).
std::wstring ownArguments() {
  const std::wstring line = GetCommandLineW();
  std::size_t i = 0;
  if (!line.empty() && line[0] == L'"') {
    i = line.find(L'"', 1);
    i = i == std::wstring::npos ? line.size() : i + 1;
  } else {
    while (i < line.size() && line[i] != L' ' && line[i] != L'\t') ++i;
  }
  return line.substr(i);
}

}  // namespace

int runFromFreshFolder() {
  const std::wstring folder = freshFolder();
  if (folder.empty()) {
    std::fprintf(stderr, "no fresh folder: error %lu\n", GetLastError());
    return 2;
  }
  const std::wstring program = ownPath();
  const std::wstring copy = folder + program.substr(program.find_last_of(L"\\/") + 1);
  if (!CopyFileW(program.c_str(), copy.c_str(), TRUE) ||
      !CopyFileW((ownFolder() + L"korvex.dll").c_str(), (folder + L"korvex.dll").c_str(), TRUE)) {
    std::fprintf(stderr, "copying into %ls failed: error %lu\n", folder.c_str(), GetLastError());
    removeFolder(folder);
    return 2;
  }
  const std::wstring flag(kSandboxedFlag.begin(), kSandboxedFlag.end());
  const ChildExit run = runChild(copy, flag + ownArguments(), kRunLimit);
  removeFolder(folder);
  if (!run.ended) {
    std::fprintf(stderr, "the tests did not end within %lld s\n",
                 static_cast<long long>(
                     std::chrono::duration_cast<std::chrono::seconds>(kRunLimit).count()));
    return 3;
  }
  if (run.exitCode >= 0xC0000000UL) {
    // Reported here: the shell that runs the program sees only the low
    // byte of the code, which may be 0.
    std::fprintf(stderr, "the tests were ended by %s\n", describeExitCode(run.exitCode).c_str());
    return 4;
  }
  return static_cast<int>(run.exitCode);
}

}  // namespace korvex::wine
