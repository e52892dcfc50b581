// The real platform's files, events and threads, as the store, the log and
// the watchdog use them.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {
namespace {

using namespace std::chrono_literals;

std::u16string tempPath(const char16_t* name) {
  std::array<wchar_t, MAX_PATH + 1> folder{};
  const DWORD length = GetTempPathW(static_cast<DWORD>(folder.size()), folder.data());
  return std::u16string(folder.data(), folder.data() + length) + name;
}

std::string readAll(Win32Platform& p, const std::u16string& path) {
  const Handle file = p.openFile(path, FileOpen::ReadAlways);
  EXPECT_NE(file, kNoHandle);
  std::array<std::uint8_t, 64> buffer{};
  std::uint32_t read = 0;
  EXPECT_TRUE(p.readFile(file, buffer, read));
  p.close(file);
  return std::string(buffer.begin(), buffer.begin() + read);
}

void write(Win32Platform& p, const std::u16string& path, FileOpen how, std::string_view text,
           bool atEnd = false) {
  const Handle file = p.openFile(path, how);
  ASSERT_NE(file, kNoHandle);
  if (atEnd) {
    EXPECT_TRUE(p.seekFileEnd(file));
  }
  EXPECT_TRUE(p.writeFile(
      file, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  EXPECT_TRUE(p.flushFile(file));
  p.close(file);
}

TEST(Win32PlatformFiles, StoreAndLogLifeCycle) {
  Win32Platform p;
  const std::u16string store = tempPath(u"korvex-test.dat");
  const std::u16string fresh = tempPath(u"korvex-test.tmp");
  p.deleteFile(store);

  // Reading a missing file creates it empty.
  EXPECT_EQ(readAll(p, store), "");
  // A new write empties the file; an appending one keeps what is there.
  write(p, store, FileOpen::WriteNew, "first");
  write(p, store, FileOpen::WriteNew, "one");
  write(p, store, FileOpen::WriteAlways, "+two", true);
  EXPECT_EQ(readAll(p, store), "one+two");
  // Without the seek a kept file is overwritten from its start.
  write(p, store, FileOpen::WriteAlways, "ON");
  EXPECT_EQ(readAll(p, store), "ONe+two");

  write(p, fresh, FileOpen::WriteNew, "replacement");
  EXPECT_TRUE(p.replaceFile(fresh, store));
  EXPECT_EQ(readAll(p, store), "replacement");
  EXPECT_FALSE(p.deleteFile(fresh));
  EXPECT_TRUE(p.deleteFile(store));
  EXPECT_FALSE(p.deleteFile(store));
}

TEST(Win32PlatformFiles, ExclusiveWriteRefusesASecondOpen) {
  Win32Platform p;
  const std::u16string path = tempPath(u"korvex-exclusive.dat");
  const Handle writer = p.openFile(path, FileOpen::WriteNew);
  ASSERT_NE(writer, kNoHandle);
  EXPECT_EQ(p.openFile(path, FileOpen::ReadAlways), kNoHandle);
  p.close(writer);
  EXPECT_TRUE(p.deleteFile(path));
}

TEST(Win32PlatformEvents, ManualResetEventStaysSetUntilReset) {
  Win32Platform p;
  const Handle event = p.createEvent();
  ASSERT_NE(event, kNoHandle);
  EXPECT_FALSE(p.waitEvent(event, 0));
  p.setEvent(event);
  EXPECT_TRUE(p.waitEvent(event, 0));
  EXPECT_TRUE(p.waitEvent(event, 0));
  p.resetEvent(event);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(p.waitEvent(event, 100));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 80ms);
  p.close(event);
}

struct Worker {
  Win32Platform* platform = nullptr;
  Handle go = kNoHandle;
  std::atomic<int> runs{0};
  void* seen = nullptr;

  static void entry(void* self) {
    auto* w = static_cast<Worker*>(self);
    w->seen = self;
    w->platform->waitEvent(w->go, INFINITE);
    ++w->runs;
  }
};

TEST(Win32PlatformThreads, FinishedOnlyAfterTheEntryReturns) {
  Win32Platform p;
  Worker worker{&p, p.createEvent()};
  ASSERT_NE(worker.go, kNoHandle);
  const Handle thread = p.startThread(&Worker::entry, &worker);
  ASSERT_NE(thread, kNoHandle);

  EXPECT_FALSE(p.waitThreadFinished(thread, 100));
  EXPECT_TRUE(p.threadStarted(thread));
  EXPECT_EQ(worker.seen, &worker);
  p.setEvent(worker.go);
  EXPECT_TRUE(p.waitThreadFinished(thread, 5000));
  EXPECT_EQ(worker.runs.load(), 1);
  p.releaseThread(thread);
  p.close(worker.go);
}

TEST(Win32PlatformThreads, TerminatedThreadNeverReportsFinished) {
  Win32Platform p;
  Worker worker{&p, p.createEvent()};
  ASSERT_NE(worker.go, kNoHandle);
  const Handle thread = p.startThread(&Worker::entry, &worker);
  ASSERT_NE(thread, kNoHandle);
  for (int i = 0; i < 100 && !p.threadStarted(thread); ++i) p.sleep(10);

  p.terminateThread(thread);
  p.sleep(100);  // termination completes asynchronously
  p.setEvent(worker.go);
  EXPECT_FALSE(p.waitThreadFinished(thread, 200));
  EXPECT_EQ(worker.runs.load(), 0);
  p.releaseThread(thread);
  p.close(worker.go);
}

}  // namespace
}  // namespace korvex::platform
