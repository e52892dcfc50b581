// The window tests' entry point. korvex.dll binds itself, as it loads, to
// "world.json" beside the program; so a run copies the program, korvex.dll,
// talvane.exe and the scenario worlds into a fresh folder with an empty
// world and runs the copy there (sandbox.h), where the library keeps its
// store and log.
#include <gtest/gtest.h>

#include <sstream>

#include "crash_report.h"
#include "sandbox.h"
#include "window_probe.h"

int main(int argc, char** argv) {
  if (!korvex::wine::runsSandboxed(argc, argv)) {
    korvex::wine::FreshFolderSetup setup;
    std::wistringstream worlds(L"" TALVANE_GUI_COMPANIONS);
    for (std::wstring file; std::getline(worlds, file, L',');) setup.companions.push_back(file);
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
