// A folder of its own for every run of a test program: korvex.dll keeps its
// store and log beside the running executable, and the build puts every
// program and the DLL into one folder, where several may run at once. So a
// program first copies itself and korvex.dll into a fresh folder and runs
// the copy there, which alone runs the tests.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

inline constexpr std::string_view kSandboxedFlag = "--korvex-sandboxed";

// Whether this process is the copy in the fresh folder (has kSandboxedFlag).
bool runsSandboxed(int argc, char** argv);

struct FreshFolderSetup {
  // Further files to copy, relative to the program's folder ('/' or '\\').
  std::vector<std::wstring> companions;
  // Called with the folder (ending in a separator) once the files are
  // copied; false fails the run.
  std::function<bool(const std::wstring& folder)> prepare;
  // Below the test's own time-out, so that a hang is reported from here.
  std::chrono::seconds runLimit{110};
};

// Copies this program, korvex.dll and the companions into a fresh folder,
// prepares it, runs the copy there with this process's arguments and
// kSandboxedFlag, removes the folder and returns the copy's exit code: 2
// when the folder could not be prepared, 3 when the copy did not end within
// the limit, 4 when an exception ended it.
int runFromFreshFolder(const FreshFolderSetup& setup = {});

// Removes the folder with all it holds, retrying for a few seconds while a
// program that has just ended keeps its executable busy.
void removeFolderTree(const std::wstring& folder);

}  // namespace korvex::wine
