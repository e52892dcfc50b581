// korvex.dll on a real loader, in a fresh folder: the store replaced whole,
// a stored "on" restarting the watchdog, FreeLibrary while it runs (also as
// a check cycle waits for the loader lock), a process ending while it runs,
// and the log's appends beside a reader.
#include <gtest/gtest.h>
#include <korvex.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "child_process.h"
#include "crash_report.h"
#include "korvex/common/files.h"
#include "korvex_dll.h"
#include "sandbox.h"

namespace korvex::wine {

using namespace std::chrono_literals;

// A stop returns within 1.5 s; an unload never waits for the watchdog.
constexpr auto kPromptly = 2000ms;
const std::string kSerial = "KVX-LIFE-0001";

class DllLifecycleTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(KorvexDll::waitUnmapped()) << "an earlier test left korvex.dll loaded";
    removeLibraryFiles();
  }
  void TearDown() override {
    dll.reset();
    removeLibraryFiles();
  }
  void load() { ASSERT_TRUE(dll.emplace().loaded()) << "korvex.dll did not load"; }

  std::optional<KorvexDll> dll;
};

// The start at load saves the store: the settings of 0 taken as 1, and as
// a new file, so that nothing of the longer old one is left.
TEST_F(DllLifecycleTest, AStoredOnStartsTheWatchdogAndTheStoreIsReplacedWhole) {
  Bytes planted = storeImage(0, 0, 1, kSerial);
  planted.resize(kStoreSize + 5000, 0xEE);
  ASSERT_TRUE(writeBesideProgram(kStoreFile, planted));
  load();
  EXPECT_EQ(dll->call("Hub_GetAutoRecoveryStatus"), 1);
  EXPECT_EQ(dll->call("Hub_StartAutoRecovery"), 0) << "the load must have started the watchdog";
  EXPECT_EQ(readBesideProgram(kStoreFile), storeImage(1, 1, 1, kSerial));
  EXPECT_FALSE(readBesideProgram(kStoreDraftFile)) << "a draft of the store was left behind";
  EXPECT_EQ(dll->call("Hub_StopAutoRecovery"), 1);
}

using LockLoader = LONG(NTAPI*)(ULONG flags, ULONG* disposition, ULONG_PTR* cookie);
using UnlockLoader = LONG(NTAPI*)(ULONG flags, ULONG_PTR cookie);

template <typename Fn>
Fn fromNtdll(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

struct RunCase {
  bool startedByLoad;
  int runForMs;  // with an interval of 1 the first check cycle comes after 1000 ms
  bool underLoaderLock = false;
  bool listBusyAtExit = false;  // another thread changing the list as the process ends
};

class UnloadWhileRunningTest : public DllLifecycleTest,
                               public testing::WithParamInterface<RunCase> {};

// The watchdog holds its own reference to the library: the program's
// FreeLibrary returns at once and leaves it loaded and watching; a stop
// through it then lets the last reference go.
TEST_P(UnloadWhileRunningTest, FreeLibraryLeavesTheLibraryLoadedUntilTheStop) {
  const RunCase c = GetParam();
  ASSERT_TRUE(writeBesideProgram(kStoreFile, storeImage(1, 1, c.startedByLoad, kSerial)));
  load();
  if (!c.startedByLoad) {
    EXPECT_EQ(dll->call("Hub_StartAutoRecovery"), 1);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(c.runForMs));
  // A check cycle calls into system DLLs that may need the loader lock
  // (wine's setupapi does on its first call), which every load and unload
  // holds. Held here from before the first cycle, the cycle is sure to be
  // waiting for it when the unload comes.
  ULONG_PTR cookie = 0;
  if (c.underLoaderLock) {
    ASSERT_GE(fromNtdll<LockLoader>("LdrLockLoaderLock")(0, nullptr, &cookie), 0);
    std::this_thread::sleep_for(400ms);
  }
  EXPECT_LT(dll->unload(), kPromptly) << "FreeLibrary";
  EXPECT_TRUE(KorvexDll::mapped()) << "the running watchdog keeps the library loaded";
  if (c.underLoaderLock) {
    fromNtdll<UnlockLoader>("LdrUnlockLoaderLock")(0, cookie);
  }
  const auto stopStart = std::chrono::steady_clock::now();
  EXPECT_EQ(KorvexDll::stopLeftoverWatchdog(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - stopStart, kPromptly) << "stop and last FreeLibrary";
  EXPECT_FALSE(KorvexDll::mapped());
  const Bytes saved = readBesideProgram(kStoreFile).value_or(Bytes{});
  EXPECT_TRUE(saved.size() == kStoreSize && saved[kStoreRecoveryOn] == 0)
      << "the stop saves the store with recovery off";
}

INSTANTIATE_TEST_SUITE_P(Timings, UnloadWhileRunningTest,
                         testing::Values(RunCase{true, 0}, RunCase{false, 0}, RunCase{true, 300},
                                         RunCase{false, 995}, RunCase{true, 1000},
                                         RunCase{false, 1004}, RunCase{true, 1010},
                                         RunCase{false, 1500}, RunCase{true, 800, true},
                                         RunCase{false, 800, true}));

// The child's part: the watchdog running, settings changed that only the
// unload at the process's end saves, and a return from main after a while.
constexpr std::string_view kExitRole = "--exit-with-watchdog";
constexpr int kChildExitCode = 37;

int exitWithTheWatchdogRunning(bool startedByLoad, int runForMs, bool listBusy) {
  KorvexDll dll;
  if (!startedByLoad && dll.call("Hub_StartAutoRecovery") != 1) return 11;
  if (dll.call("Hub_GetAutoRecoveryStatus") != 1) return 12;
  if (dll.call("Hub_SetAutoCheckTimeInfo", 4u, 6u) != 1) return 13;
  if (listBusy) {
    using SetTimeInfo = int(__stdcall*)(unsigned, unsigned);
    const auto set = reinterpret_cast<SetTimeInfo>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"korvex.dll"), "Hub_SetAutoCheckTimeInfo")));
    if (set == nullptr) return 14;
    // Ended by the system wherever it is, maybe holding the list's lock.
    std::thread([set] {
      for (;;) set(4u, 6u);
    }).detach();
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(runForMs));
  dll.keepLoaded();
  return kChildExitCode;
}

class ProcessExitTest : public DllLifecycleTest, public testing::WithParamInterface<RunCase> {};

// At the process's end the system ends the watchdog thread, and any other,
// before the unload runs, which must wait for none of them (nor for a lock
// one of them held) and must save recovery as on.
TEST_P(ProcessExitTest, EndsPromptlyAndKeepsRecoveryOn) {
  const RunCase c = GetParam();
  ASSERT_TRUE(writeBesideProgram(kStoreFile, storeImage(1, 1, c.startedByLoad, kSerial)));
  const std::wstring arguments = std::wstring(L"--korvex-sandboxed --exit-with-watchdog ") +
                                 (c.startedByLoad ? L"load " : L"export ") +
                                 std::to_wstring(c.runForMs) + (c.listBusyAtExit ? L" busy" : L"");
  const ChildExit child = runChild(ownPath(), arguments, 30s);
  ASSERT_TRUE(child.ended) << "the process did not end";
  EXPECT_EQ(child.exitCode, static_cast<DWORD>(kChildExitCode)) << describeExitCode(child.exitCode);
  EXPECT_LT(child.elapsed, std::chrono::milliseconds(c.runForMs) + 5s);
  EXPECT_EQ(readBesideProgram(kStoreFile), storeImage(4, 6, 1, kSerial));
}

INSTANTIATE_TEST_SUITE_P(WatchdogRunning, ProcessExitTest,
                         testing::Values(RunCase{false, 0}, RunCase{false, 1500},
                                         RunCase{true, 1200}, RunCase{false, 300, false, true},
                                         RunCase{true, 1100, false, true}));

// The child's part beside a parent whose watchdog acts: it reports
// recovery as on, adds a hub to the shared list and stops recovery.
constexpr std::string_view kShareRole = "--share-the-store";
constexpr int kShareExitCode = 38;

int shareTheStore() {
  KorvexDll dll;
  if (dll.call("Hub_GetAutoRecoveryStatus") != 1) return 21;
  HubDeviceInfo info{};
  for (std::size_t i = 0; i < 9; ++i) info.controllerSerial[i] = L"KVX-CHILD"[i];
  if (dll.call("Hub_SetAutoCheckDeviceInfo", &info) != 1) return 22;
  if (dll.call("Hub_StopAutoRecovery") != 1) return 23;
  return kShareExitCode;
}

// Two processes with the library of one folder share its list and its
// recovery state: each sees the other's changes at its next call.
TEST_F(DllLifecycleTest, AnotherProcessSharesTheListAndStopsTheWatchdog) {
  ASSERT_TRUE(writeBesideProgram(kStoreFile, storeImage(1, 1, 0, kSerial)));
  load();
  ASSERT_EQ(dll->call("Hub_StartAutoRecovery"), 1);
  std::this_thread::sleep_for(1500ms);  // its first check: it acts from now on
  const ChildExit child = runChild(ownPath(), L"--korvex-sandboxed --share-the-store", 30s);
  ASSERT_TRUE(child.ended);
  EXPECT_EQ(child.exitCode, static_cast<DWORD>(kShareExitCode)) << describeExitCode(child.exitCode);
  HubDeviceInfo info{};
  ASSERT_EQ(dll->call("Hub_GetAutoCheckDeviceInfoIndex", &info, 1u), 1);
  EXPECT_EQ(std::wstring(info.controllerSerial), L"KVX-CHILD");
  EXPECT_EQ(dll->call("Hub_GetAutoRecoveryStatus"), 0);
  // This process's watchdog finds recovery off at its next check and ends.
  std::this_thread::sleep_for(1500ms);
  EXPECT_EQ(dll->call("Hub_StopAutoRecovery"), 0);
  EXPECT_EQ(dll->call("Hub_StartAutoRecovery"), 1);
  EXPECT_EQ(dll->call("Hub_StopAutoRecovery"), 1);
}

bool append(const std::string& line) {
  return files::appendShared(
      ownFolder() + kLogFile,
      std::span(reinterpret_cast<const std::uint8_t*>(line.data()), line.size()));
}

class LogSharingTest : public DllLifecycleTest, public testing::WithParamInterface<DWORD> {};

// An append never fails for a program that reads the log; one that does not
// share writing is waited for.
TEST_P(LogSharingTest, AnAppendLandsWhileAReaderHoldsTheLogFor300ms) {
  ASSERT_TRUE(append("one\r\n"));
  const HANDLE reader = CreateFileW((ownFolder() + kLogFile).c_str(), GENERIC_READ, GetParam(),
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread closer([reader] {
    std::this_thread::sleep_for(300ms);
    CloseHandle(reader);
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(append("two\r\n"));
  const bool waited = std::chrono::steady_clock::now() - start >= 250ms;
  closer.join();
  EXPECT_EQ(waited, (GetParam() & FILE_SHARE_WRITE) == 0);
  EXPECT_EQ(readBesideProgram(kLogFile),
            Bytes({'o', 'n', 'e', '\r', '\n', 't', 'w', 'o', '\r', '\n'}));
}

// The log viewer's sharing, and a reader's that shares reading only.
INSTANTIATE_TEST_SUITE_P(Readers, LogSharingTest,
                         testing::Values(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         FILE_SHARE_READ));

}  // namespace korvex::wine

int main(int argc, char** argv) {
  using namespace korvex::wine;
  if (!runsSandboxed(argc, argv)) return runFromFreshFolder();
  endOnUnhandledException();
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == kShareRole) return shareTheStore();
  }
  for (int i = 1; i + 2 < argc; ++i) {
    if (argv[i] == kExitRole) {
      return exitWithTheWatchdogRunning(argv[i + 1] == std::string_view("load"),
                                        std::stoi(argv[i + 2]),
                                        i + 3 < argc && argv[i + 3] == std::string_view("busy"));
    }
  }
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
