// SimPlatform's inside, shared by the files that implement its members.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "korvex/platform/sim/controller_firmware.h"
#include "korvex/platform/sim/sim_clock.h"
#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_world.h"
#include "korvex/platform/sim/world_file.h"

namespace korvex::sim {

struct OpenHandle {
  enum class Kind { Hid, UsbNode };
  Kind kind = Kind::Hid;
  std::u16string path;  // what was opened; looked up again on every call
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
  World world;
  std::optional<WorldFile> file;
  std::optional<std::string> fileError;
  SimClock clock;
  std::optional<platform::LocalTime> localTimeOverride;
  CallCounts counts;
  std::map<platform::Handle, OpenHandle> handles;
  platform::Handle nextHandle = 0x100;
  std::map<std::u16string, ControllerRuntime> runtime;

  // Re-reads the bound file when it has changed on disk. A file that does
  // not parse leaves the world as it was.
  void refresh();
  // Writes a bound world back.
  void persist();

  platform::Handle open(OpenHandle::Kind kind, std::u16string_view path);
  // The present HID interface that the handle was opened on.
  std::optional<HidSite> hidFor(platform::Handle h);
};

}  // namespace korvex::sim
