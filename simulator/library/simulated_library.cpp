// The binding of the simulated libraries (libkorvex.so, simbin/korvex.dll):
// the library over one process-wide simulated world, bound to the file
// named by KORVEX_SIM_WORLD, else to "world.json" beside the executable
// when there is one, else empty. Its files live in the world's library
// folder (Simulator::libraryFolder).
#include <cstdio>
#include <exception>
#include <memory>

#include "korvex/library.h"
#include "simulator/simulator.h"

namespace {

using korvex::sim::Simulator;

std::unique_ptr<Simulator> boundTo(const std::filesystem::path& file) {
  try {
    return Simulator::fromFile(file);
  } catch (const std::exception& e) {
    // Nothing can report this to the caller; an empty world makes the
    // failure visible as "no devices" and the message says why.
    std::fprintf(stderr, "korvex: %s; using an empty world\n", e.what());
    return Simulator::fromJson("{}");
  }
}

Simulator& systemSimulator() {
  // Created on first use (thread-safe) and deliberately never destroyed,
  // so that code running during process exit can still reach it.
  static Simulator* const instance = [] {
    const auto file = korvex::sim::systemWorldFile();
    return (file ? boundTo(*file) : Simulator::fromJson("{}")).release();
  }();
  return *instance;
}

}  // namespace

korvex::Library& korvex::theLibrary() {
  // Never destroyed either: the library may be unloaded after the static
  // destructors have run.
  static Library* const instance = [] {
    Simulator& simulator = systemSimulator();
    return new Library(simulator, simulator, simulator.libraryFolder());
  }();
  return *instance;
}
