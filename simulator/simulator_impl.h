// Simulator's inside, shared by the files that implement its members.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "korvex/backends/portable/steady_clock.h"
#include "simulator/controller_firmware.h"
#include "simulator/simulator.h"
#include "simulator/virtual_clock.h"
#include "simulator/world.h"
#include "simulator/world_file.h"

namespace korvex::sim {

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

struct Simulator::Impl {
  // Guards everything below but the clocks, which guard themselves.
  mutable std::mutex mutex;
  World world;
  std::optional<WorldFile> file;
  std::optional<std::string> fileError;
  std::optional<seam::LocalTime> localTimeOverride;
  CallCounts counts;  // handlesOpen counted as the objects come and go
  std::map<std::u16string, ControllerRuntime> runtime;

  portable::SteadyClock realClock;
  VirtualClock virtualClock;
  std::atomic<bool> isVirtual{false};

  // Re-reads the bound file when it has changed on disk. A file that does
  // not parse leaves the world as it was.
  void refresh();
  // Writes a bound world back.
  void persist();
  // The tick count now, without counting as a call.
  std::uint32_t now();
};

}  // namespace korvex::sim
