// The simulator: a whole USB world (host controllers, hubs, ports, devices
// and the hub controllers' firmware) behind the library's seam, as a USB
// host and a clock.
//
// One world feeds both sides: the USB tree that the topology walk queries
// and the HID interfaces that the controller link talks to. Switching a
// controller's power off empties its hub's downstream port; switching it on
// brings the device back as the world says (configured, hung unconfigured,
// away, or as another device).
//
// A world is described in JSON (docs/world-file.md, the model in world.h).
// Tests build one from text; tools bind one to a file, which is re-read
// when it changes on disk and written back after every change of state.
//
// No files, threads, events or processes are modelled: the library does
// those itself. Every member is thread-safe. The hubs and HID devices
// handed out hold the world too: they may outlive the simulator.
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

#include "korvex/seam/clock.h"
#include "korvex/seam/controller_protocol.h"
#include "korvex/seam/usb_host.h"
#include "simulator/world.h"

namespace korvex::sim {

// Seam calls made so far, for tests and benchmarks.
struct CallCounts {
  std::uint64_t hidLists = 0;  // hidInterfaces calls that got a list
  std::uint64_t hidOpens = 0;  // successful openHid
  std::uint64_t hubOpens = 0;  // successful openHub
  std::uint64_t ioControls =
      0;  // every UsbHub query: portCount, connection, downstreamHub, descriptor
  std::uint64_t featureSets = 0;  // HidDevice::setFeature calls
  std::uint64_t featureGets = 0;  // HidDevice::getFeature calls

  // Hubs and HID devices open when the counts were taken. Not affected by
  // resetCounts().
  std::uint64_t handlesOpen = 0;
  std::uint64_t openHandles() const { return handlesOpen; }
};

// How long advanceAndSettle and waitForWaiters wait, in real time, by
// default.
inline constexpr std::chrono::milliseconds kSettleTimeout{10000};

// One request report as a controller received it.
struct ReceivedRequest {
  std::uint32_t tick = 0;
  std::array<std::uint8_t, protocol::kReportSize> bytes{};
};

// What Clock::wait does on the virtual clock.
enum class VirtualWaits {
  // Blocks until advance() or advanceAndSettle() (or tick calls) move the
  // clock to its deadline, or its stop is raised. For tests that drive
  // threads through time (the watchdog).
  Manual,
  // Moves the clock on by the wait's length at once and returns, as if the
  // time had passed (true at once when the stop is raised). For tests in
  // which nothing else moves the clock.
  Advance,
};

class Simulator final : public seam::UsbHost, public seam::Clock {
 public:
  // Builds the world from JSON text. Throws std::runtime_error with a clear
  // message when the text is not a valid world.
  static std::unique_ptr<Simulator> fromJson(std::string_view json);

  // Binds the world to a file: loaded now (throws std::runtime_error naming
  // the file when it cannot be read or parsed), re-read before a call when
  // the file has changed on disk, and rewritten atomically after every
  // change of the world's state (a controller request that changes its
  // state, changeWorld).
  static std::unique_ptr<Simulator> fromFile(const std::filesystem::path& file);

  ~Simulator() override;
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // ---- seam::UsbHost ----
  // rootHubs: the root hubs of the host controllers with a "number", in
  // number order, then those with an "interfacePath", in array order (so a
  // controller with both appears twice). hidInterfaces lists the present
  // controllers of the tree, then the other HID devices (world.h,
  // forEachHid), as Windows lists them: vendor and product (from the path)
  // without the serial, and without opening any. Every call answers from the world as it stands:
  // hubs and HID devices look their item up again each time, and one that has gone (its power
  // switched off above it) fails.
  std::vector<seam::HubName> rootHubs() override;
  std::unique_ptr<seam::UsbHub> openHub(std::u16string_view name) override;
  std::optional<std::vector<seam::HidInterface>> hidInterfaces() override;
  std::unique_ptr<seam::HidDevice> openHid(std::u16string_view path) override;

  // ---- seam::Clock ----
  std::uint32_t tickCount() override;
  seam::LocalTime localTime() override;
  bool wait(std::uint32_t milliseconds, const StopSignal& stop) override;

  // ---- Inspection and control, for tests, tools and benchmarks ----

  CallCounts counts() const;
  void resetCounts();

  // Time. By default the clock is real (korvex/backends/portable/
  // steady_clock.h): the tick counter follows the steady clock (reading the
  // world's "tickStart" at creation when given) and wait waits real
  // milliseconds. A virtual clock starts at startTick and moves only by
  // advance(), advanceAndSettle(), stepPerTickCall after every tickCount()
  // call, and (VirtualWaits::Advance) by waits. It wraps at 2^32.
  void useVirtualClock(std::uint32_t startTick, std::uint32_t stepPerTickCall = 1,
                       VirtualWaits waits = VirtualWaits::Manual);
  // Moves a virtual clock on at once; waits whose deadline it passes end.
  void advance(std::uint32_t milliseconds);

  // Moves a Manual virtual clock on by `milliseconds` as the waiting threads
  // would see real time pass: while the earliest deadline of a blocked wait
  // lies within the span, moves the clock exactly to it and waits (real
  // time) until as many threads are blocked in wait as were before (the
  // woken ones have run their round and wait again); then moves the clock
  // to the end of the span, unless tick calls took it past already. So
  // five calls with 1000 give a loop of wait(1000, stop) five rounds.
  // Call waitForWaiters first, so that the threads are in their waits.
  // False, with a note on standard error, when the threads did not get
  // back to their waits within realTimeout (counted over the whole call);
  // the clock then stays where it had got to. On the real clock it does
  // nothing; with VirtualWaits::Advance it only moves the clock.
  bool advanceAndSettle(std::uint32_t milliseconds,
                        std::chrono::milliseconds realTimeout = kSettleTimeout);

  // Waits in real time, up to realTimeout, until at least n threads are
  // blocked in wait on the virtual clock. True when they are.
  [[nodiscard]] bool waitForWaiters(std::size_t n,
                                    std::chrono::milliseconds realTimeout = kSettleTimeout);

  // How many threads are blocked, now, in a virtual wait asked for exactly
  // this long: tells a thread idle between rounds (its round's wait) from
  // one in the middle of a round (a shorter wait, for a reply say).
  std::size_t blockedWaitsOf(std::uint32_t milliseconds) const;

  // Overrides the local time of the world and of the machine.
  void setLocalTime(const seam::LocalTime& t);

  // The state of the controller with this serial (first one found, present
  // before absent), or nullopt when the world has none.
  std::optional<ControllerState> controller(std::u16string_view serial) const;
  // Every request that controller has received, in order.
  std::vector<ReceivedRequest> requestsTo(std::u16string_view serial) const;

  // The world as JSON, in the file format (state included).
  std::string toJson() const;

  // A copy of the whole world as it stands.
  World world() const;

  // Changes the world as a user would: unplug, hang or swap a device, put a
  // fault in force. Names and paths left empty are filled in afterwards; a
  // file-bound world is written back. Open hubs and HID devices stay open;
  // calls on one whose item has gone fail.
  void changeWorld(const std::function<void(World&)>& change);

  // The downstream port (port 1) of the hub whose controller has this
  // serial (first one found), or nullopt when no controller in the tree has
  // it. Its device is empty while the hub's power is off.
  std::optional<Port> downstreamPort(std::u16string_view controllerSerial) const;

  // Why the bound file could not be re-read or written the last time that
  // was tried, or nullopt when that went well (or no file is bound). The
  // world in use is then the last one read or written successfully.
  std::optional<std::string> fileError() const;

  // Where a library over this world keeps its files (store and log): the
  // world's "executableFolder"; else, for a world bound to a file, that
  // file's folder; else the running executable's folder.
  std::filesystem::path libraryFolder() const;

  struct Impl;

 private:
  explicit Simulator(std::unique_ptr<Impl> impl);
  std::shared_ptr<Impl> impl_;
};

}  // namespace korvex::sim
