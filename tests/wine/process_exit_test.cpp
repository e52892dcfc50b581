// The end of a process that has korvex.dll loaded with its watchdog
// running: main returns, the system ends the watchdog thread and then runs
// the library's unload, which must not wait for the thread that is gone
// and must still save the store with recovery on.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "child_roles.h"
#include "clean_folder_test.h"
#include "store_image.h"

namespace korvex::wine {
namespace {

using namespace std::chrono_literals;

constexpr int kExitCode = 37;
// A start and an exit under wine take a fraction of a second; a wait for
// the ended thread would take 10 s, a deadlock for ever.
constexpr auto kPromptExit = 5s;
constexpr auto kChildLimit = 30s;

const ListedHub kHub{L"KVX-EXIT-0001", 0x0781, 0x5581, L"Ultra"};

// The child: loads the DLL, has the watchdog running (started by the
// export, or by the load from a store with recovery on), changes the
// settings without any write of the store, waits, and returns from main.
int exitWithTheWatchdogRunning(const std::vector<std::string>& arguments) {
  if (arguments.size() != 2) return 2;
  const bool byExport = arguments[0] == "export";
  const int runForMs = std::stoi(arguments[1]);
  KorvexDll dll;
  if (!dll.loaded()) return 10;
  if (byExport && dll.hub().StartAutoRecovery() != 1) return 11;
  if (dll.hub().GetAutoRecoveryStatus() != 1) return 12;
  // Only the unload at the process's end writes these.
  if (dll.hub().SetAutoCheckTimeInfo(4, 6) != 1) return 13;
  std::this_thread::sleep_for(std::chrono::milliseconds(runForMs));
  dll.keepLoaded();
  return kExitCode;
}

const bool kRegistered = registerChildRole("exit-with-watchdog", &exitWithTheWatchdogRunning);

struct ExitCase {
  const char* startedBy;  // "export" or "load"
  int runForMs;
};

void PrintTo(const ExitCase& c, std::ostream* os) {
  *os << "started by the " << c.startedBy << ", ran " << c.runForMs << " ms";
}

class ProcessExitTest : public CleanFolderTest, public testing::WithParamInterface<ExitCase> {};

TEST_P(ProcessExitTest, EndsPromptlyAndKeepsRecoveryOn) {
  ASSERT_TRUE(kRegistered);
  const ExitCase c = GetParam();
  StoreImage expected;
  if (std::string(c.startedBy) == "load") {
    StoreImage prepared;
    prepared.recoveryOn = 1;
    prepared.records = {recordOf(kHub)};
    ASSERT_TRUE(writeBesideProgram(kStoreFile, prepared.bytes()));
    expected = prepared;
  }
  const ChildExit child =
      runChild(ownPath(),
               childRoleArguments("exit-with-watchdog", {c.startedBy, std::to_string(c.runForMs)}),
               kChildLimit);
  ASSERT_TRUE(child.ended) << "the child did not end within " << kChildLimit.count() << " s";
  EXPECT_EQ(child.exitCode, static_cast<DWORD>(kExitCode))
      << "the child ended with " << describeExitCode(child.exitCode);
  EXPECT_LT(child.elapsed, std::chrono::milliseconds(c.runForMs) + kPromptExit);
  std::printf("[ timing   ] started by the %s, ran %d ms: process ended after %lld ms\n",
              c.startedBy, c.runForMs, static_cast<long long>(child.elapsed.count()));

  expected.interval = 4;
  expected.offTime = 6;
  expected.recoveryOn = 1;
  EXPECT_TRUE(storeShows(readBesideProgram(kStoreFile), expected));
  EXPECT_FALSE(readBesideProgram(kStoreDraftFile)) << "a draft of the store was left behind";
}

INSTANTIATE_TEST_SUITE_P(WatchdogRunning, ProcessExitTest,
                         testing::Values(ExitCase{"export", 0}, ExitCase{"export", 300},
                                         ExitCase{"export", 1500}, ExitCase{"load", 0},
                                         ExitCase{"load", 1200}),
                         [](const testing::TestParamInfo<ExitCase>& param) {
                           const ExitCase& c = param.param;
                           return std::string("StartedByThe") +
                                  (std::string(c.startedBy) == "export" ? "Export" : "Load") +
                                  "Ran" + std::to_string(c.runForMs) + "ms";
                         });

}  // namespace
}  // namespace korvex::wine
