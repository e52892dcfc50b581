// The entry point of the window test programs: the tests run in a copy of
// the program in a fresh folder beside the simulator's korvex.dll and an
// empty world (see gui_sandbox.h).
#include <gtest/gtest.h>

#include <string>

#include "crash_report.h"
#include "gui_sandbox.h"

namespace {

// TALVANE_GUI_COMPANIONS: files to copy beside the program, relative to its
// folder and separated by ';' (the build sets it).
talvane::gui_test::Companions companions() {
  talvane::gui_test::Companions files;
  const std::string list = TALVANE_GUI_COMPANIONS;
  std::size_t start = 0;
  while (start < list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string::npos) end = list.size();
    if (end > start)
      files.emplace_back(list.begin() + static_cast<std::ptrdiff_t>(start),
                         list.begin() + static_cast<std::ptrdiff_t>(end));
    start = end + 1;
  }
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  if (!talvane::gui_test::runsSandboxed(argc, argv)) {
    return talvane::gui_test::runFromFreshFolder(companions());
  }
  korvex::wine::endOnUnhandledException();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
