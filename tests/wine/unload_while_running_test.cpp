// FreeLibrary of korvex.dll while its watchdog thread exists, over and
// over. The watchdog holds its own reference to the library, so such a
// FreeLibrary returns at once and leaves the library loaded and watching;
// a stop through the still-mapped library then ends the thread, and the
// last FreeLibrary unmaps it. No call may take anywhere near the 10 s after
// which a thread would be ended by force, and no instruction of an unmapped
// library may run afterwards: one would end this process with an access
// violation, which the program that started this copy of it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <thread>

#include "clean_folder_test.h"
#include "loader_lock.h"
#include "store_image.h"

namespace korvex::wine {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

constexpr auto kPromptly = 2000ms;
constexpr auto kForcedEnd = 9500ms;  // the unload's last resort comes after 10 s
constexpr int kIterations = 30;
// Longer than the watchdog's 1 s wait: a thread that outlived an unload
// would wake within it and run code of the unmapped library.
constexpr auto kAfterwards = 2500ms;
// A check cycle that does not find a listed hub counts its pending
// switch-on down, so this countdown tells how many cycles have run.
constexpr std::uint8_t kCountdown = 255;

const ListedHub kCounting{L"KVX-LOOP-0001", 0x1111, 0x2222, L"Counting"};
const ListedHub kSecond{L"KVX-LOOP-0002", 0x3333, 0x4444, L"Second"};

class UnloadWhileRunningTest : public CleanFolderTest {
 protected:
  // Interval 1 and two listed hubs, none of them attached.
  void SetUp() override {
    CleanFolderTest::SetUp();
    if (HasFatalFailure()) return;
    StoreImage image;
    image.records = {recordOf(kCounting, kCountdown, 0), recordOf(kSecond)};
    ASSERT_TRUE(writeBesideProgram(kStoreFile, image.bytes()));
  }

  // Sets the recovery-on byte of the store, keeping the rest.
  static void storeRecoveryOn(std::uint8_t on) {
    std::optional<Bytes> file = readBesideProgram(kStoreFile);
    ASSERT_TRUE(file && file->size() == store::kSize);
    (*file)[store::kRecoveryOn] = on;
    ASSERT_TRUE(writeBesideProgram(kStoreFile, *file));
  }

  // Loads the DLL, which finds recovery on or off in the store.
  void loadPromptly(std::uint8_t recoveryOn) {
    storeRecoveryOn(recoveryOn);
    if (HasFatalFailure()) return;
    load();
    if (HasFatalFailure()) return;
    EXPECT_LT(dll->loadTime(), kPromptly) << "LoadLibrary";
  }

  // The program's FreeLibrary while the watchdog runs: prompt, and the
  // library stays mapped. Then, as a program that wants it gone would, a
  // stop through the mapped library and the last FreeLibrary: both prompt,
  // and the library is unmapped with the store saved.
  milliseconds unloadPromptly() {
    const milliseconds took = freeWhileRunning();
    return std::max(took, stopAndUnmap());
  }

  milliseconds freeWhileRunning() {
    const milliseconds took = dll->unload();
    EXPECT_LT(took, kPromptly) << "FreeLibrary";
    EXPECT_TRUE(KorvexDll::mapped()) << "the running watchdog keeps the library loaded";
    return took;
  }

  milliseconds stopAndUnmap() {
    const auto stopStart = std::chrono::steady_clock::now();
    EXPECT_EQ(KorvexDll::stopLeftoverWatchdog(), 1);
    const auto stopTook =
        std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - stopStart);
    EXPECT_LT(stopTook, kPromptly)
        << "stop and last FreeLibrary" << (stopTook >= kForcedEnd ? ": ended by force" : "");
    EXPECT_FALSE(KorvexDll::mapped());
    const std::optional<Bytes> file = readBesideProgram(kStoreFile);
    EXPECT_TRUE(file && file->size() == store::kSize && (*file)[store::kRecoveryOn] == 0)
        << "the stop must save the store with recovery off";
    EXPECT_FALSE(readBesideProgram(kStoreDraftFile)) << "a draft of the store was left behind";
    return stopTook;
  }

  // After the loop: time for a stray thread to show itself, then the
  // library must load and work as before.
  void expectALoadStillWorks() {
    std::this_thread::sleep_for(kAfterwards);
    storeRecoveryOn(1);
    if (HasFatalFailure()) return;
    load();
    if (HasFatalFailure()) return;
    EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);
    EXPECT_EQ(hub().StartAutoRecovery(), 0);
    HubDeviceInfo out{};
    ASSERT_EQ(hub().GetAutoCheckDeviceInfoIndex(&out, 1), 1);
    EXPECT_EQ(std::wstring(out.controllerSerial), kSecond.serial);
    const auto stopStart = std::chrono::steady_clock::now();
    EXPECT_EQ(hub().StopAutoRecovery(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - stopStart, kPromptly);
    EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
    dll.reset();
    // Listed hubs that are not attached give no events.
    EXPECT_FALSE(readBesideProgram(kLogFile)) << "the watchdog logged events for absent hubs";
  }

  static int cyclesRun() {
    const std::optional<Bytes> file = readBesideProgram(kStoreFile);
    if (!file || file->size() != store::kSize) return -1;
    return kCountdown - (*file)[store::kHeaderSize + store::kOffCountdown];
  }

  static void report(const char* what, milliseconds slowest, milliseconds total) {
    std::printf("[ timing   ] %s: %d unloads, slowest %lld ms, loop %lld ms, %d check cycles\n",
                what, kIterations, static_cast<long long>(slowest.count()),
                static_cast<long long>(total.count()), cyclesRun());
  }
};

// The watchdog thread is created inside the load, while the loader lock is
// held, so it cannot have started when the unload comes at once.
TEST_F(UnloadWhileRunningTest, UnloadRightAfterALoadThatCreatedTheWatchdog) {
  const auto loopStart = std::chrono::steady_clock::now();
  milliseconds slowest{0};
  for (int i = 0; i < kIterations && !HasFailure(); ++i) {
    SCOPED_TRACE(testing::Message() << "iteration " << i);
    loadPromptly(1);
    if (HasFatalFailure()) return;
    slowest = std::max(slowest, unloadPromptly());
  }
  const auto total =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - loopStart);
  EXPECT_LT(total, kIterations * kPromptly);
  report("unload right after load", slowest, total);
  expectALoadStillWorks();
}

// The watchdog started by the export or by the load, then unloaded while it
// waits or while a check cycle (a USB scan that finds no hub) runs. With an
// interval of 1 the first cycle begins 1 s after the start; most of the
// unloads come within a few milliseconds of that, the others well before
// and after it.
TEST_F(UnloadWhileRunningTest, UnloadWhileTheWatchdogWaitsOrChecks) {
  constexpr std::array<int, kIterations> kRunForMs = {
      0,    5,    50,   300,  700,  994,  996,  998,  999,  1000, 1001, 1002, 1003, 1004, 1005,
      1006, 1007, 1008, 1009, 1010, 1012, 1014, 1017, 1020, 1030, 1100, 1300, 1500, 2010, 2500};
  const auto loopStart = std::chrono::steady_clock::now();
  milliseconds slowest{0};
  for (int i = 0; i < kIterations && !HasFailure(); ++i) {
    const bool byExport = i % 2 == 0;
    const milliseconds runFor{kRunForMs[static_cast<std::size_t>(i)]};
    SCOPED_TRACE(testing::Message()
                 << "iteration " << i << ", started by " << (byExport ? "the export" : "the load")
                 << ", unloaded after " << runFor.count() << " ms");
    loadPromptly(byExport ? 0 : 1);
    if (HasFatalFailure()) return;
    if (byExport) {
      EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
      EXPECT_EQ(hub().StartAutoRecovery(), 1);
    }
    EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);
    std::this_thread::sleep_for(runFor);
    slowest = std::max(slowest, unloadPromptly());
  }
  const auto total =
      std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now() - loopStart);
  EXPECT_LT(total, 60s);
  report("unload while running", slowest, total);
  if (!HasFailure()) {
    EXPECT_GT(cyclesRun(), 0) << "no check cycle ran: no unload came during or after one";
  }
  expectALoadStillWorks();
}

// A check cycle calls into system DLLs, which may need the loader lock (wine's
// setupapi does on its first call after being loaded), and an unload runs
// holding that lock. Here the test holds the lock from before the first
// cycle begins until its unload is done, so a cycle that needs the lock is
// sure to be waiting for it when the unload comes.
TEST_F(UnloadWhileRunningTest, UnloadWhileACheckCycleWaitsForTheLoaderLock) {
  for (int i = 0; i < 2 && !HasFailure(); ++i) {
    const bool byExport = i == 0;
    SCOPED_TRACE(byExport ? "started by the export" : "started by the load");
    loadPromptly(byExport ? 0 : 1);
    if (HasFatalFailure()) return;
    if (byExport) {
      EXPECT_EQ(hub().StartAutoRecovery(), 1);
    }
    std::this_thread::sleep_for(800ms);
    {
      const HeldLoaderLock loaderLock;
      ASSERT_TRUE(loaderLock.held());
      std::this_thread::sleep_for(400ms);
      // The cycle waits for the loader lock, and FreeLibrary must not wait
      // for the cycle.
      freeWhileRunning();
    }
    // With the lock free again, the cycle goes on and a stop ends it.
    stopAndUnmap();
  }
  expectALoadStillWorks();
}

}  // namespace
}  // namespace korvex::wine
