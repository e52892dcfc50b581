// A folder of its own for every run of a window test program.
//
// The program is linked against korvex.dll, so the library is loaded, and
// binds itself to "world.json" beside the program, before main() runs. A
// run therefore first copies the program, the simulator's korvex.dll (the
// one beside the program) and any companion files into a fresh folder,
// writes an empty world there, and runs the copy; the tests then change
// that world file as they go (world_file.h). The library's store and log
// land in the same folder, which is removed afterwards with everything in
// it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace talvane::gui_test {

// The flag that marks the copy running in the fresh folder.
inline constexpr std::string_view kSandboxedFlag = "--talvane-gui-sandboxed";

// True when this process is the copy in the fresh folder.
bool runsSandboxed(int argc, char** argv);

// Files to copy beside the program besides korvex.dll, as paths relative to
// the program's folder (with '/' or '\\').
using Companions = std::vector<std::wstring>;

// Makes the fresh folder, runs the copy there with this process's
// arguments and kSandboxedFlag, removes the folder and returns the copy's
// exit code (2 when the folder could not be prepared, 3 on a hang, 4 on a
// crash).
int runFromFreshFolder(const Companions& companions);

}  // namespace talvane::gui_test
