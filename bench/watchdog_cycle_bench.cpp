// Cost of one watchdog check cycle over 32 listed hubs, on the simulated
// world with the virtual clock: wall time, and the seam calls a cycle makes
// (the counts are the stable figures).
//
// Healthy: every device is present and configured; the cycle only scans.
// Failing: every device is absent and the off time is 0, so each cycle
// logs an event 3 line and switches the power off and on again for all 32,
// the most a cycle over this list can do.
#include <benchmark/benchmark.h>

#include "bench_worlds.h"
#include "korvex/library.h"
#include "temp_folder.h"

namespace {

constexpr int kHubs = 32;

void runCycles(benchmark::State& state, bool failing) {
  // The store and the log go to a folder of their own, removed at the end.
  const korvex::testing::TempFolder folder("korvex-bench-");
  auto world = korvex::bench::hubsWorld(kHubs);
  korvex::Library library(*world, *world, folder.path());
  library.load();
  HubDeviceInfo info{};
  if (library.devices().getDeviceInfo(&info) == 1) {
    do library.autoCheckList().add(&info);
    while (library.devices().getNextDeviceInfo(&info) != 0);
  }
  if (library.autoCheckList().snapshot().count != kHubs) {
    state.SkipWithError("the hubs could not all be listed");
    return;
  }
  if (failing) {
    world->changeWorld([](korvex::sim::World& w) {
      for (auto& hub : w.hostControllers[0].rootHub.ports) hub.device->hub->ports[0] = {};
    });
  }
  world->resetCounts();
  for (auto _ : state) library.watchdog().runCheckCycle(failing ? 0 : 1);
  korvex::bench::reportCalls(state, *world);
  library.unload(korvex::Library::Unload::Orderly);
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
