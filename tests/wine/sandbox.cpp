#include "sandbox.h"

#include <windows.h>

#include <cstdio>

#include "child_process.h"

namespace korvex::wine {

namespace {

std::wstring fileName(const std::wstring& path) {
  return path.substr(path.find_last_of(L"\\/") + 1);
}

std::wstring freshFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring stem = fileName(ownPath());
  stem.erase(stem.find_last_of(L'.'));
  for (unsigned attempt = 0;; ++attempt) {
    const std::wstring folder = std::wstring(temp) + stem + L"-" +
                                std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(attempt) + L"\\";
    if (CreateDirectoryW(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
  }
}

bool copyInto(const std::wstring& source, const std::wstring& folder) {
  if (CopyFileW(source.c_str(), (folder + fileName(source)).c_str(), TRUE)) return true;
  std::fprintf(stderr, "copying %ls into %ls failed: error %lu\n", source.c_str(), folder.c_str(),
               GetLastError());
  return false;
}

bool prepare(const std::wstring& folder, const FreshFolderSetup& setup) {
  const std::wstring here = ownFolder();
  if (!copyInto(ownPath(), folder) || !copyInto(here + L"korvex.dll", folder)) return false;
  for (std::wstring companion : setup.companions) {
    for (wchar_t& c : companion) c = c == L'/' ? L'\\' : c;
    if (!copyInto(here + companion, folder)) return false;
  }
  return !setup.prepare || setup.prepare(folder);
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

// One pass over the tree; true when the folder is gone.
bool removeOnce(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        removeOnce(folder + name + L"\\");
      } else {
        DeleteFileW((folder + name).c_str());
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return RemoveDirectoryW(folder.c_str()) != 0;
}

}  // namespace

bool runsSandboxed(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kSandboxedFlag) return true;
  }
  return false;
}

int runFromFreshFolder(const FreshFolderSetup& setup) {
  const std::wstring folder = freshFolder();
  if (folder.empty()) {
    std::fprintf(stderr, "no fresh folder: error %lu\n", GetLastError());
    return 2;
  }
  if (!prepare(folder, setup)) {
    removeFolderTree(folder);
    return 2;
  }
  const std::wstring flag(kSandboxedFlag.begin(), kSandboxedFlag.end());
  const ChildExit run =
      runChild(folder + fileName(ownPath()), flag + ownArguments(), setup.runLimit);
  removeFolderTree(folder);
  if (!run.ended) {
    std::fprintf(stderr, "the tests did not end within %lld s\n",
                 static_cast<long long>(setup.runLimit.count()));
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

void removeFolderTree(const std::wstring& folder) {
  std::wstring root = folder;
  if (!root.empty() && root.back() != L'\\' && root.back() != L'/') root += L'\\';
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (removeOnce(root)) return;
    Sleep(100);
  }
  std::fprintf(stderr, "could not remove %ls\n", root.c_str());
}

}  // namespace korvex::wine
