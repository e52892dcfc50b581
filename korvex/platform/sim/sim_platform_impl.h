// SimPlatform's inside, shared by the files that implement its members.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "korvex/platform/sim/controller_firmware.h"
#include "korvex/platform/sim/file_faults.h"
#include "korvex/platform/sim/file_sharing.h"
#include "korvex/platform/sim/sim_clock.h"
#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_world.h"
#include "korvex/platform/sim/world_file.h"

namespace korvex::sim {

// A wait without a time limit (INFINITE).
inline constexpr std::uint32_t kInfinite = 0xFFFFFFFF;

struct OpenHandle {
  enum class Kind { Hid, UsbNode, Event, File, Thread };
  Kind kind = Kind::Hid;
  std::u16string path;  // what was opened; looked up again on every call
};

// A manual-reset event. Its waits hold it too, so that closing the handle
// during a wait leaves the waiter something to wait on.
struct SimEvent {
  bool set = false;
};

// A thread inside waitEvent: what it waits for, and until when.
struct EventWait {
  std::shared_ptr<SimEvent> event;
  bool endless = false;  // INFINITE
  bool onVirtualClock = false;
  std::uint64_t virtualDeadline = 0;  // on SimClock::virtualNow()
  std::chrono::steady_clock::time_point realDeadline;
};

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

struct OpenFile {
  std::u16string path;        // as the caller gave it; faults match on it
  std::filesystem::path key;  // the file itself, for the sharing rules
  FileMode mode;
  std::unique_ptr<std::FILE, FileCloser> stream;  // none for another program's hold
};

// What a thread started through startThread shows of itself. The running
// thread holds it too, so it outlives a released handle.
struct SimThread {
  platform::Platform::ThreadEntry entry = nullptr;
  void* argument = nullptr;
  bool held = false;                   // waits for holdNewThreads(false) before it begins
  bool started = false;                // has begun to run entry
  bool finished = false;               // entry has returned
  bool terminated = false;             // terminateThread: nobody waits for it any more
  const EventWait* waiting = nullptr;  // its wait while it is inside waitEvent
};

struct ThreadSlot {
  std::shared_ptr<SimThread> state;
  std::thread thread;  // joined on release once finished, else detached
};

// What a controller holds between requests besides its saved state. Kept
// by HID path, apart from the world, so that it survives a re-read file.
struct ControllerRuntime {
  struct Reply {
    Report bytes{};
    std::uint32_t requestTick = 0;
    std::uint32_t delayMs = 0;
  };
  std::optional<Reply> pending;  // the reply to the last request received
  std::uint64_t requests = 0;
  std::vector<ReceivedRequest> log;
};

struct SimPlatform::Impl {
  std::mutex mutex;
  // Notified whenever something changes that a wait may be waiting for:
  // an event, the virtual clock, a thread that starts, blocks or ends.
  std::condition_variable changed;
  World world;
  std::optional<WorldFile> file;
  std::optional<std::string> fileError;
  SimClock clock;
  std::optional<platform::LocalTime> localTimeOverride;
  CallCounts counts;
  std::map<platform::Handle, OpenHandle> handles;
  platform::Handle nextHandle = 0x100;
  std::map<std::u16string, ControllerRuntime> runtime;

  std::map<platform::Handle, std::shared_ptr<SimEvent>> events;
  std::vector<const EventWait*> waits;  // every thread inside waitEvent
  std::map<platform::Handle, OpenFile> files;
  FileFaults fileFaults;
  std::map<platform::Handle, ThreadSlot> threads;
  // Every thread started here whose std::thread has not yet ended, with a
  // handle or without one.
  std::vector<std::shared_ptr<SimThread>> roster;
  bool holdThreads = false;
  bool failThreadStarts = false;
  std::optional<std::chrono::milliseconds> threadWaitLimit;

  // Re-reads the bound file when it has changed on disk. A file that does
  // not parse leaves the world as it was.
  void refresh();
  // Writes a bound world back.
  void persist();

  platform::Handle open(OpenHandle::Kind kind, std::u16string_view path);
  // The kind of an open handle, nullopt for an unknown one.
  std::optional<OpenHandle::Kind> kindOf(platform::Handle h) const;

  // Wakes the waits that the clock has reached; call after moving it.
  void timeMoved();
  // Whether a thread inside waitEvent must still wait.
  bool blocked(const EventWait& w) const;
  // Whether every running thread started here is blocked in waitEvent.
  bool settled() const;
  // Waits (real time) until settled(); false when the deadline came first.
  bool settleUntil(std::unique_lock<std::mutex>& lock,
                   std::chrono::steady_clock::time_point deadline);
  // The body of every thread from startThread.
  void runThread(const std::shared_ptr<SimThread>& t);
  // Waits for the platform's threads to end, before it goes.
  void endThreads();
  // Releases a thread's handle, joining the thread when it has finished.
  void releaseThread(std::unique_lock<std::mutex>& lock, platform::Handle h);
  // The present HID interface that the handle was opened on.
  std::optional<HidSite> hidFor(platform::Handle h);
};

}  // namespace korvex::sim
