// A folder of its own for every run of a test program.
//
// korvex.dll keeps its store and log beside the running executable, and the
// build puts every program and the DLL into one folder, where several test
// programs may run at once. So a test program first copies itself and
// korvex.dll into a fresh folder and runs the copy there; only the copy runs
// the tests, and it alone touches the files beside it.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

// The flag that marks the copy running in the fresh folder.
inline constexpr std::string_view kSandboxedFlag = "--korvex-sandboxed";

// True when this process is the copy in the fresh folder.
bool runsSandboxed(int argc, char** argv);

// What a program needs in its fresh folder besides itself and korvex.dll.
struct FreshFolderSetup {
  // Further files to copy, as paths relative to the program's folder (with
  // '/' or '\\'); each lands in the fresh folder under its own name.
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
// the limit, 4 when it was ended by an exception.
int runFromFreshFolder(const FreshFolderSetup& setup = {});

// Removes the folder with every file and folder in it. A program that has
// just ended may keep its executable busy for a moment, so this retries
// for a few seconds.
void removeFolderTree(const std::wstring& folder);

}  // namespace korvex::wine
