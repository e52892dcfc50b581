// A folder of its own for every run of a test program.
//
// korvex.dll keeps its store and log beside the running executable, and the
// build puts every program and the DLL into one folder, where several test
// programs may run at once. So a test program first copies itself and
// korvex.dll into a fresh folder and runs the copy there; only the copy runs
// the tests, and it alone touches the files beside it.
#pragma once

#include <string_view>

namespace korvex::wine {

// The flag that marks the copy running in the fresh folder.
inline constexpr std::string_view kSandboxedFlag = "--korvex-sandboxed";

// Copies this program and korvex.dll into a fresh folder, runs the copy
// there with this process's arguments and kSandboxedFlag, removes the
// folder and returns the copy's exit code.
int runFromFreshFolder();

}  // namespace korvex::wine
