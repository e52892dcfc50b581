#include "gui_sandbox.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <chrono>
#include <cstdio>

#include "child_process.h"
#include "folder_files.h"

namespace talvane::gui_test {

namespace {

using namespace std::chrono_literals;
using korvex::wine::ownFolder;
using korvex::wine::ownPath;

// Below the test's own time-out, so that a hang is reported from here.
constexpr auto kRunLimit = 170s;

std::wstring fileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

// A new folder under the temporary folder, named by the system.
std::wstring freshFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  wchar_t name[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  // The unique name comes as an empty file; the folder takes its place.
  if (GetTempFileNameW(temp, L"tgui", 0, name) == 0 || !DeleteFileW(name) ||
      !CreateDirectoryW(name, nullptr)) {
    return {};
  }
  return std::wstring(name) + L"\\";
}

bool copyInto(const std::wstring& source, const std::wstring& folder) {
  if (CopyFileW(source.c_str(), (folder + fileName(source)).c_str(), TRUE)) return true;
  std::fprintf(stderr, "copying %ls into %ls failed: error %lu\n", source.c_str(), folder.c_str(),
               GetLastError());
  return false;
}

bool prepare(const std::wstring& folder, const Companions& companions) {
  const std::wstring here = ownFolder();
  if (!copyInto(ownPath(), folder) || !copyInto(here + L"korvex.dll", folder)) return false;
  for (std::wstring companion : companions) {
    for (wchar_t& c : companion) c = c == L'/' ? L'\\' : c;
    if (!copyInto(here + companion, folder)) return false;
  }
  // The library binds to a world file only when one exists as it loads.
  return writeFile(folder + L"world.json", "{}");
}

// This process's arguments after the program's name, each quoted.
std::wstring ownArguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring tail;
  for (int i = 1; i < count; ++i) tail += L" \"" + std::wstring(arguments[i]) + L"\"";
  LocalFree(arguments);
  return tail;
}

}  // namespace

bool runsSandboxed(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kSandboxedFlag) return true;
  }
  return false;
}

int runFromFreshFolder(const Companions& companions) {
  const std::wstring folder = freshFolder();
  if (folder.empty()) {
    std::fprintf(stderr, "no fresh folder: error %lu\n", GetLastError());
    return 2;
  }
  if (!prepare(folder, companions)) {
    removeFolderTree(folder);
    return 2;
  }
  const std::wstring flag(kSandboxedFlag.begin(), kSandboxedFlag.end());
  const auto run =
      korvex::wine::runChild(folder + fileName(ownPath()), flag + ownArguments(), kRunLimit);
  removeFolderTree(folder);
  if (!run.ended) {
    std::fprintf(stderr, "the tests did not end within %lld s\n",
                 static_cast<long long>(kRunLimit.count()));
    return 3;
  }
  if (run.exitCode >= 0xC0000000UL) {
    std::fprintf(stderr, "the tests were ended by %s\n",
                 korvex::wine::describeExitCode(run.exitCode).c_str());
    return 4;
  }
  return static_cast<int>(run.exitCode);
}

}  // namespace talvane::gui_test
