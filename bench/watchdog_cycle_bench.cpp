// Cost of one watchdog check cycle over 32 listed hubs, on the simulated
// world with the virtual clock: wall time, and the platform calls a cycle
// makes (the counts are the stable figures).
//
// Healthy: every device is present and configured; the cycle only scans.
// Failing: every device is absent and the off time is 0, so each cycle
// logs an event 3 line and switches the power off and on again for all 32,
// the most a cycle over this list can do.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "korvex/library.h"
#include "sim_world_builder.h"
#include "temp_folder.h"
#include "usb_tree_builder.h"

namespace {

namespace fs = std::filesystem;
using korvex::testing::Json;

constexpr int kHubs = 32;

// 32 one-port hubs on one root hub, each with a scanner on its downstream
// port, all of them on the auto-recovery list.
struct ListedHubs {
  explicit ListedHubs(const fs::path& folder) : world(makeWorld(folder)), library(*world) {
    library.load();
    HubDeviceInfo info{};
    if (library.devices().getDeviceInfo(&info) != 1) return;
    do library.autoCheckList().add(&info);
    while (library.devices().getNextDeviceInfo(&info) != 0);
  }
  ~ListedHubs() { library.unload(false); }

  static std::unique_ptr<korvex::sim::SimPlatform> makeWorld(const fs::path& folder) {
    std::vector<Json> ports;
    for (int i = 1; i <= kHubs; ++i) {
      ports.push_back(korvex::testing::port(korvex::testing::controllerHub(
          "H" + std::to_string(i), korvex::testing::usbDevice(0x1111, 0x2222, "Scanner", "SC"))));
    }
    auto json = Json::parse(
        korvex::testing::treeWorld({korvex::testing::hostController(0, std::nullopt, ports)}));
    json["executableFolder"] = folder.string() + "/";
    return korvex::testing::makeWorld(json.dump());
  }

  void unplugAll() {
    world->changeWorld([](korvex::sim::World& w) {
      for (auto& hub : w.hostControllers[0].rootHub.ports) {
        hub.device->hub->ports[0].device.reset();
      }
    });
  }

  std::unique_ptr<korvex::sim::SimPlatform> world;
  korvex::Library library;
};

void reportCalls(benchmark::State& state, const korvex::sim::SimPlatform& world) {
  const auto c = world.counts();
  const auto perCycle = [&](std::uint64_t n) {
    return benchmark::Counter(static_cast<double>(n) / static_cast<double>(state.iterations()));
  };
  state.counters["ioControls"] = perCycle(c.ioControls);
  state.counters["featureSets"] = perCycle(c.featureSets);
  state.counters["featureGets"] = perCycle(c.featureGets);
  state.counters["opens"] = perCycle(c.hidOpens + c.usbOpens);
  state.counters["fileOpens"] = perCycle(c.fileOpens);
}

void runCycles(benchmark::State& state, bool failing) {
  // The store and the log go to a folder of their own, removed at the end.
  const korvex::testing::TempFolder folder("korvex-bench-");
  ListedHubs hubs(folder.path());
  if (hubs.library.autoCheckList().snapshot().count != kHubs) {
    state.SkipWithError("the hubs could not all be listed");
    return;
  }
  if (failing) hubs.unplugAll();
  const std::uint8_t offTime = failing ? 0 : 1;
  hubs.world->resetCounts();
  for (auto _ : state) hubs.library.watchdog().runCheckCycle(offTime);
  reportCalls(state, *hubs.world);
}

void BM_CheckCycle32Healthy(benchmark::State& state) {
  runCycles(state, false);
}
BENCHMARK(BM_CheckCycle32Healthy)->Unit(benchmark::kMillisecond);

void BM_CheckCycle32Failing(benchmark::State& state) {
  runCycles(state, true);
}
BENCHMARK(BM_CheckCycle32Failing)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
