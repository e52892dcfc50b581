// Cost of one USB scan (Hub_GetDeviceInfo) over a large simulated machine:
// 32 hubs carrying the controller and 200 more root ports over ten host
// controllers, half of them holding a mouse, and 100 other HID interfaces.
// Wall time beside the seam calls per scan.
#include <benchmark/benchmark.h>

#include <mutex>

#include "bench_worlds.h"
#include "korvex/controller/controller_commands.h"
#include "korvex/topology/device_queries.h"

namespace {

using korvex::bench::perIteration;

void BM_ScanLargeMachine(benchmark::State& state) {
  auto world = korvex::bench::hubsWorld(32, 200);
  world->changeWorld([](korvex::sim::World& w) {
    for (int i = 0; i < 100; ++i) {
      auto& other = w.otherHidDevices.emplace_back();
      other.vendorId = static_cast<std::uint16_t>(0x2000 + i);
      other.productId = 1;
    }
  });
  korvex::controller::ControllerLocks locks;
  korvex::controller::ControllerCommands commands(*world, *world, locks);
  std::mutex libraryLock;
  korvex::topology::DeviceQueries queries(
      *world, [&](auto serial, auto status) { return commands.getStatus(serial, status); },
      libraryLock);
  world->resetCounts();
  for (auto _ : state) {
    HubDeviceInfo info{};
    if (queries.getDeviceInfo(&info) != 1) state.SkipWithError("no hub found");
    benchmark::DoNotOptimize(info);
  }
  const auto c = world->counts();
  state.counters["ioControls"] = perIteration(state, c.ioControls);
  state.counters["hubOpens"] = perIteration(state, c.hubOpens);
  state.counters["hidOpens"] = perIteration(state, c.hidOpens);
  state.counters["featureReports"] = perIteration(state, c.featureSets + c.featureGets);
}
BENCHMARK(BM_ScanLargeMachine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
