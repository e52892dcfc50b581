#include "sandbox.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "child_process.h"

namespace korvex::wine {

namespace fs = std::filesystem;

namespace {

bool prepare(const fs::path& folder, const FreshFolderSetup& setup) {
  std::vector<std::wstring> files = {fs::path(ownPath()).filename().wstring(), L"korvex.dll"};
  files.insert(files.end(), setup.companions.begin(), setup.companions.end());
  for (const std::wstring& file : files) {
    const fs::path source = fs::path(ownFolder()) / fs::path(file).make_preferred();
    std::error_code error;
    if (!fs::copy_file(source, folder / source.filename(), error)) {
      std::fprintf(stderr, "copying %ls: %s\n", source.c_str(), error.message().c_str());
      return false;
    }
  }
  return !setup.prepare || setup.prepare(folder.wstring() + L"\\");
}

// The command line after the program's own name, quoted or not.
std::wstring ownArguments() {
  const std::wstring line = GetCommandLineW();
  const std::size_t end = line.starts_with(L'"') ? line.find(L'"', 1) : line.find_first_of(L" \t");
  return end == std::wstring::npos ? L"" : line.substr(line[end] == L'"' ? end + 1 : end);
}

}  // namespace

bool runsSandboxed(int argc, char** argv) {
  return std::find(argv + 1, argv + argc, kSandboxedFlag) != argv + argc;
}

int runFromFreshFolder(const FreshFolderSetup& setup) {
  const fs::path program = fs::path(ownPath()).filename();
  std::error_code error;
  const fs::path folder = fs::temp_directory_path(error) / (program.stem().wstring() + L"-" +
                                                            std::to_wstring(GetCurrentProcessId()));
  fs::remove_all(folder, error);  // left by an earlier process of this number
  if (!fs::create_directory(folder, error) || !prepare(folder, setup)) {
    removeFolderTree(folder.wstring());
    return 2;
  }
  const std::wstring flag(kSandboxedFlag.begin(), kSandboxedFlag.end());
  const ChildExit run =
      runChild((folder / program).wstring(), flag + ownArguments(), setup.runLimit);
  removeFolderTree(folder.wstring());
  if (!run.ended) {
    std::fprintf(stderr, "the tests did not end within %lld s\n",
                 static_cast<long long>(setup.runLimit.count()));
    return 3;
  }
  if (run.exitCode < 0xC0000000UL) return static_cast<int>(run.exitCode);
  // Said here: the shell that runs this program sees only the code's low byte.
  std::fprintf(stderr, "the tests were ended by %s\n", describeExitCode(run.exitCode).c_str());
  return 4;
}

void removeFolderTree(const std::wstring& folder) {
  for (int attempt = 0; attempt < 50; ++attempt) {
    std::error_code error;
    fs::remove_all(folder, error);
    if (!error) return;
    Sleep(100);
  }
  std::fprintf(stderr, "could not remove %ls\n", folder.c_str());
}

}  // namespace korvex::wine
