// The entry point of the test programs that load korvex.dll: the tests run
// in a copy of the program in a fresh folder (see sandbox.h), or the program
// plays a child role for one of them (see child_roles.h).
#include <gtest/gtest.h>

#include "child_roles.h"
#include "crash_report.h"
#include "sandbox.h"

int main(int argc, char** argv) {
  if (!korvex::wine::runsSandboxed(argc, argv)) return korvex::wine::runFromFreshFolder();
  korvex::wine::endOnUnhandledException();
  if (const auto exitCode = korvex::wine::playChildRole(argc, argv)) return *exitCode;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
