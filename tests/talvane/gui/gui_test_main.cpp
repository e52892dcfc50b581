// The entry point of the window test programs.
//
// The program is linked against korvex.dll, so the library is loaded, and
// binds itself to "world.json" beside the program, before main() runs. A
// run therefore first copies the program, the simulator's korvex.dll (the
// one beside the program) and the companion file, if any, into a fresh
// folder, writes an empty world there, and runs the copy (see sandbox.h);
// the tests then change that world file as they go (world_file.h). The
// library's store and log land in the same folder, which is removed
// afterwards with everything in it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <string_view>

#include "crash_report.h"
#include "folder_files.h"
#include "sandbox.h"

namespace {

korvex::wine::FreshFolderSetup freshFolderSetup() {
  korvex::wine::FreshFolderSetup setup;
  // TALVANE_GUI_COMPANION: a file to copy beside the program, relative to
  // its folder, or nothing (the build sets it).
  const std::string_view companion = TALVANE_GUI_COMPANION;
  if (!companion.empty()) setup.companions.emplace_back(companion.begin(), companion.end());
  // The library binds to a world file only when one exists as it loads.
  setup.prepare = [](const std::wstring& folder) {
    return talvane::gui_test::writeFile(folder + L"world.json", "{}");
  };
  // Below the test's own time-out of 180 s.
  setup.runLimit = std::chrono::seconds(170);
  return setup;
}

}  // namespace

int main(int argc, char** argv) {
  if (!korvex::wine::runsSandboxed(argc, argv)) {
    return korvex::wine::runFromFreshFolder(freshFolderSetup());
  }
  korvex::wine::endOnUnhandledException();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
