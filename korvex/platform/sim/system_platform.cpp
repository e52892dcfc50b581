// The platform of builds that link the simulator: one process-wide world,
// bound to the file named by KORVEX_SIM_WORLD, else to "world.json" beside
// the executable when there is one, else empty.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>

#include "korvex/platform/platform.h"
#include "korvex/platform/sim/host_system.h"
#include "korvex/platform/sim/sim_platform.h"

namespace korvex::platform {

namespace {

namespace fs = std::filesystem;

std::unique_ptr<sim::SimPlatform> boundTo(const fs::path& file) {
  try {
    return sim::SimPlatform::fromFile(file);
  } catch (const std::exception& e) {
    // Nothing can report this to the caller; an empty world makes the
    // failure visible as "no devices" and the message says why.
    std::fprintf(stderr, "korvex: %s; using an empty world\n", e.what());
    return sim::SimPlatform::fromJson("{}");
  }
}

std::unique_ptr<sim::SimPlatform> makeSystemWorld() {
  if (const auto file = sim::systemWorldFile()) return boundTo(*file);
  return sim::SimPlatform::fromJson("{}");
}

}  // namespace

Platform& systemPlatform() {
  // Created on first use (thread-safe) and deliberately never destroyed, so
  // that code running during process exit can still reach it.
  static Platform* const instance = makeSystemWorld().release();
  return *instance;
}

}  // namespace korvex::platform
