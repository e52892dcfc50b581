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
// All members are thread-safe.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "korvex/platform/platform.h"
#include "korvex/platform/sim/sim_world.h"  // ControllerState, World

namespace korvex::sim {

// Platform calls made so far, for tests and benchmarks.
struct CallCounts {
  std::uint64_t interfaceLists = 0;     // enumerateInterfaces calls that got a list
  std::uint64_t interfacesVisited = 0;  // interfaces handed to a visitor
  std::uint64_t hidOpens = 0;           // successful openHid
  std::uint64_t usbOpens = 0;           // successful openUsbNode
  std::uint64_t closes = 0;             // close of an open handle
  std::uint64_t hidQueries = 0;         // attributes, serial and caps reads
  std::uint64_t featureSets = 0;        // hidSetFeature calls
  std::uint64_t featureGets = 0;        // hidGetFeature calls
  std::uint64_t ioControls = 0;         // ioControl calls

  std::uint64_t openHandles() const { return hidOpens + usbOpens - closes; }
};

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
  std::u16string executableFolder() override;

  // ---- Inspection and control, for tests, tools and benchmarks ----

  CallCounts counts() const;
  void resetCounts();

  // Time. By default the tick counter follows the real clock (from the
  // world's "tickStart" when given) and sleep really sleeps. A virtual clock
  // starts at startTick and advances only by advance(), by sleep(), and by
  // stepPerTickCall on every tickCount() call, so a 5000 ms wait ends after
  // 5000 / stepPerTickCall calls without any real waiting.
  void useVirtualClock(std::uint32_t startTick, std::uint32_t stepPerTickCall = 1);
  void advance(std::uint32_t milliseconds);
  void setLocalTime(const platform::LocalTime& t);

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
