// The simulated platform: a whole USB world (host controllers, hubs, ports,
// devices and the hub controllers' firmware) behind the platform seam.
//
// One world feeds both sides: the USB tree that the topology walk queries
// and the HID interfaces that the controller link talks to. Switching a
// controller's power off empties its hub's downstream port; switching it on
// brings the device back as the world says (configured, hung unconfigured,
// away, or as another device).
//
// A world is described in JSON (docs/world-file.md). Tests build one from a
// string; tools bind one to a file, which is re-read when it changes on disk
// and rewritten after every command that changes the world's state.
//
// Besides the USB world it has what the library needs of the machine:
// files (real ones, with the file system's sharing rules and injectable
// failures), manual-reset events and threads, all on one clock: the real
// one, or a virtual one that tests move on and settle (see "Threads and
// time" below).
//
// All members are thread-safe.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korvex/platform/platform.h"
#include "korvex/platform/sim/file_faults.h"   // FileCall
#include "korvex/platform/sim/file_sharing.h"  // FileMode
#include "korvex/platform/sim/sim_world.h"     // ControllerState, World

namespace korvex::sim {

// Platform calls made so far, for tests and benchmarks.
struct CallCounts {
  std::uint64_t interfaceLists = 0;      // enumerateInterfaces calls that got a list
  std::uint64_t interfacesVisited = 0;   // interfaces handed to a visitor
  std::uint64_t hidOpens = 0;            // successful openHid
  std::uint64_t usbOpens = 0;            // successful openUsbNode
  std::uint64_t closes = 0;              // close of an open handle, releaseThread
  std::uint64_t hidQueries = 0;          // attributes, serial and caps reads
  std::uint64_t featureSets = 0;         // hidSetFeature calls
  std::uint64_t featureGets = 0;         // hidGetFeature calls
  std::uint64_t ioControls = 0;          // ioControl calls
  std::uint64_t fileOpens = 0;           // successful openFile
  std::uint64_t fileOpenFailures = 0;    // openFile that failed (sharing, fault, no folder)
  std::uint64_t threadStarts = 0;        // successful startThread
  std::uint64_t threadTerminations = 0;  // terminateThread on a thread that had not finished

  // Handles of every kind (HID, USB node, event, file, thread, held file)
  // open when the counts were taken. Not affected by resetCounts().
  std::uint64_t handlesOpen = 0;
  std::uint64_t openHandles() const { return handlesOpen; }
};

// How long the waits of the thread controls below give the threads, in real
// time, before they report failure.
inline constexpr std::chrono::milliseconds kSettleTimeout{10000};

// One request report as the controller received it.
struct ReceivedRequest {
  std::uint32_t tick = 0;
  std::array<std::uint8_t, 65> bytes{};
};

class SimPlatform final : public platform::Platform {
 public:
  // Builds the world from JSON text. Throws std::runtime_error with a clear
  // message when the text is not a valid world.
  static std::unique_ptr<SimPlatform> fromJson(std::string_view json);

  // Binds the world to a file: loaded now, re-read before a platform call
  // when the file has changed on disk, and rewritten (atomically) after
  // every call that changes the world's state.
  static std::unique_ptr<SimPlatform> fromFile(const std::filesystem::path& file);

  ~SimPlatform() override;

  // ---- platform::Platform ----
  bool enumerateInterfaces(platform::InterfaceClass cls, const InterfaceVisitor& visit) override;
  platform::Handle openHid(std::u16string_view path) override;
  std::optional<platform::HidAttributes> hidAttributes(platform::Handle h) override;
  bool hidSerialNumber(platform::Handle h,
                       std::span<char16_t, platform::kHidSerialUnits> buffer) override;
  std::optional<platform::HidCaps> hidCaps(platform::Handle h) override;
  bool hidSetFeature(platform::Handle h, std::span<std::uint8_t> report) override;
  bool hidGetFeature(platform::Handle h, std::span<std::uint8_t> report) override;
  platform::Handle openUsbNode(std::u16string_view path) override;
  bool ioControl(platform::Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                 std::uint32_t& bytesReturned) override;
  void close(platform::Handle h) override;
  std::uint32_t tickCount() override;
  platform::LocalTime localTime() override;
  void sleep(std::uint32_t milliseconds) override;
  platform::Handle createEvent() override;
  void setEvent(platform::Handle event) override;
  void resetEvent(platform::Handle event) override;
  bool waitEvent(platform::Handle event, std::uint32_t milliseconds) override;
  platform::Handle openFile(std::u16string_view path, platform::FileOpen how) override;
  bool readFile(platform::Handle file, std::span<std::uint8_t> buffer,
                std::uint32_t& bytesRead) override;
  bool writeFile(platform::Handle file, std::span<const std::uint8_t> bytes) override;
  bool seekFileEnd(platform::Handle file) override;
  bool flushFile(platform::Handle file) override;
  bool replaceFile(std::u16string_view source, std::u16string_view target) override;
  bool deleteFile(std::u16string_view path) override;
  platform::Handle startThread(ThreadEntry entry, void* argument) override;
  bool threadStarted(platform::Handle thread) override;
  bool waitThreadFinished(platform::Handle thread, std::uint32_t milliseconds) override;
  void terminateThread(platform::Handle thread) override;
  void releaseThread(platform::Handle thread) override;
  std::u16string executableFolder() override;

  // Where the real calls leave room, the entries above behave like this:
  // - executableFolder: the world's "executableFolder" (a separator added
  //   when it lacks one); for a world bound to a file that does not name
  //   one, the file's own folder; otherwise the running executable's.
  // - waitEvent with 0xFFFFFFFF (INFINITE) waits without end; on an unknown
  //   handle it fails at once.
  // - flushFile hands the bytes to the operating system; it does not wait
  //   for the disk.
  // - threadStarted waits up to 2 s of real time for a new thread to begin,
  //   and answers false at once for one held back by holdNewThreads.
  // - waitThreadFinished waits in real time, up to the milliseconds given
  //   (or the cap of limitThreadWaits), on either clock, so a thread that
  //   never ends cannot hang a test. A terminated thread counts as
  //   finished. On the virtual clock a time-out also moves the clock on by
  //   the milliseconds, as the wait would have taken them.
  // - terminateThread cannot kill a std::thread. A thread that has begun is
  //   abandoned: detached, counted as finished, no longer waited for when
  //   settling, while it runs on until its entry returns. (The library ends
  //   a thread forcibly only as a last resort.)
  // - releaseThread, and close() on a thread handle, join a finished
  //   thread; a thread still running goes on without a handle.
  // - The destructor waits up to 10 s of real time for every thread started
  //   here to end, and aborts the process with a message when one does not,
  //   rather than let it call into a platform that is gone.

  // ---- Inspection and control, for tests, tools and benchmarks ----

  CallCounts counts() const;
  void resetCounts();

  // Time. By default the tick counter follows the real clock (from the
  // world's "tickStart" when given), sleep really sleeps and waitEvent waits
  // real milliseconds. A virtual clock starts at startTick and advances only
  // by advance(), by sleep(), by stepPerTickCall on every tickCount() call,
  // and by a waitThreadFinished that times out, so a 5000 ms wait ends
  // after 5000 / stepPerTickCall calls without any real waiting. A waitEvent
  // on it returns when the event is set or when the virtual clock reaches
  // its deadline, whichever thread moves the clock there.
  void useVirtualClock(std::uint32_t startTick, std::uint32_t stepPerTickCall = 1);
  void advance(std::uint32_t milliseconds);
  void setLocalTime(const platform::LocalTime& t);

  // ---- Threads and time ----
  //
  // A test drives the threads started through startThread (the watchdog)
  // on the virtual clock like this:
  //
  //   world->useVirtualClock(0);
  //   ... start the watchdog ...
  //   for (int i = 0; i < 5; ++i) ASSERT_TRUE(world->advanceAndSettle(1000));
  //   ... assert what five seconds of watchdog did ...
  //
  // "Settled" means every thread started here that is running is blocked
  // in waitEvent: its event not set, its deadline not reached. Threads that
  // have finished, been terminated, or are held back by holdNewThreads do
  // not count. Other threads (the test's own) are neither waited for nor
  // required to block. A thread blocked anywhere else (a lock, a real-time
  // wait) keeps the platform from settling until it moves on.

  // Waits in real time, up to realTimeout, until the platform has settled.
  // True when it has; false, with a note on standard error saying so, when
  // realTimeout passed first (a thread blocked elsewhere, or one that never
  // stops running).
  bool settle(std::chrono::milliseconds realTimeout = kSettleTimeout);

  // Moves the virtual clock on by `milliseconds` as the threads would see
  // real time pass: first settles; then, while the earliest deadline of a
  // blocked wait lies within the span, moves the clock exactly to that
  // deadline and settles again (the woken threads run until they block
  // again or finish); finally moves the clock to the end of the span,
  // unless the threads' own tick calls and sleeps have already taken it
  // past. So five calls with 1000 let a loop of waitEvent(stop, 1000) run
  // five times, whatever time each round uses; one call with 5000 runs it
  // only as often as 1000 ms steps fit between the deadlines that the
  // rounds' own time use pushes out. On the real clock it only settles.
  // False, with a note on standard error, when settling took longer than
  // realTimeout (counted over the whole call); the clock then stays where
  // it had got to.
  bool advanceAndSettle(std::uint32_t milliseconds,
                        std::chrono::milliseconds realTimeout = kSettleTimeout);

  // Waits in real time, up to realTimeout, until at least n threads (of any
  // origin) are blocked in waitEvent on the virtual clock. True when they
  // are.
  [[nodiscard]] bool waitForWaiters(std::size_t n,
                                    std::chrono::milliseconds realTimeout = kSettleTimeout);

  // While set, startThread fails (kNoHandle), as when the system is out of
  // resources.
  void failThreadStarts(bool fail);

  // While held, threads from startThread are created but do not begin to
  // run their entry, as when a library's load holds the loader lock:
  // threadStarted answers false for them at once, and terminateThread ends
  // them without their entry ever running. Lifting the hold lets the
  // others begin.
  void holdNewThreads(bool hold);

  // Caps the real time that any waitThreadFinished waits, so that a test
  // of a thread that does not end in time need not wait the full time-out.
  // nullopt (the default) waits as long as asked.
  void limitThreadWaits(std::optional<std::chrono::milliseconds> limit);

  // ---- Files ----
  //
  // Paths are the caller's UTF-16, used as real paths on the machine. The
  // platform keeps a table of the files its handles hold open and applies
  // the sharing rules to it (see file_sharing.h); other programs' opens of
  // the same files are not seen, except through holdFile.

  // From now on, the next `count` calls of this kind on a path that ends in
  // pathSuffix fail; -1 makes every such call fail until changed, 0 ends
  // the failures. An open fails without touching the file; a read reads
  // nothing; a write writes the first half of its bytes and fails; a flush
  // fails; a replace (matched on either path) and a delete leave both
  // files alone.
  void failFileCalls(FileCall call, std::u16string_view pathSuffix, int count);
  // The same for opens and for writes.
  void failFileOpens(std::u16string_view pathSuffix, int count) {
    failFileCalls(FileCall::Open, pathSuffix, count);
  }
  void failFileWrites(std::u16string_view pathSuffix, int count) {
    failFileCalls(FileCall::Write, pathSuffix, count);
  }

  // Holds an existing file open as another program would, with this access
  // and sharing, so that the sharing rules apply to the library's opens.
  // Reads and writes on the handle fail. kNoHandle when the file does not
  // exist or its sharing refuses the hold. close() releases it.
  platform::Handle holdFile(std::u16string_view path, const FileMode& how);

  // The state of the controller with this serial (first one found), or
  // nullopt when the world has none.
  std::optional<ControllerState> controller(std::u16string_view serial) const;
  // Every request the controller has received, in order.
  std::vector<ReceivedRequest> requestsTo(std::u16string_view serial) const;

  // The world as JSON, in the file format (state included).
  std::string toJson() const;

  // A copy of the whole world as it stands.
  World world() const;

  // Changes the world as a user would: unplug, hang or swap a device, put a
  // fault in force. Names and paths left empty are filled in afterwards; a
  // file-bound world is written back. Handles stay open; calls on a handle
  // whose device has gone fail.
  void changeWorld(const std::function<void(World&)>& change);

  // The downstream port (port 1) of the hub whose controller has this
  // serial (first one found), or nullopt when no controller in the tree has
  // it. Its device is empty while the hub's power is off.
  std::optional<Port> downstreamPort(std::u16string_view controllerSerial) const;

  // Why the bound file could not be re-read or written the last time that
  // was tried, or nullopt when that went well (or no file is bound). The
  // world in use is then the last one read or written successfully.
  std::optional<std::string> fileError() const;

 private:
  struct Impl;
  // Only the factories can name a Key, so only they construct.
  struct Key {
    explicit Key() = default;
  };
  explicit SimPlatform(std::unique_ptr<Impl> impl);

 public:
  SimPlatform(Key, std::unique_ptr<Impl> impl);

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace korvex::sim
