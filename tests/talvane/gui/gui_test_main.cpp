// The window tests' entry point. korvex.dll binds itself, as it loads, to
// "world.json" beside the program; so a run copies the program, korvex.dll,
// talvane.exe and the scenario worlds into a fresh folder with an empty
// world and runs the copy there (sandbox.h), beside the library's files.
#include <gtest/gtest.h>

#include "crash_report.h"
#include "sandbox.h"
#include "window_probe.h"

int main(int argc, char** argv) {
  if (!korvex::wine::runsSandboxed(argc, argv)) {
    korvex::wine::FreshFolderSetup setup;
    setup.companions = {L"../bin/talvane.exe", L"scenario_worlds.json"};
    setup.prepare = [](const std::wstring& folder) {
      return talvane::gui_test::writeFile(folder + L"world.json", "{}");
    };
    setup.runLimit = std::chrono::seconds(170);  // below the test's own 180 s
    return korvex::wine::runFromFreshFolder(setup);
  }
  korvex::wine::endOnUnhandledException();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
