// Cost of the controller commands over the simulated world: wall time and
// the platform calls each command makes (the counts are the stable figures).
#include <benchmark/benchmark.h>

#include <array>

#include "korvex/controller/controller_commands.h"
#include "sim_world_builder.h"

namespace {

using korvex::testing::hidWorld;
using korvex::testing::otherHidDevice;
using korvex::testing::standaloneController;

// The controller is the last HID interface, behind `others` other devices:
// the worst case of the search.
std::unique_ptr<korvex::sim::SimPlatform> worldWith(int others) {
  std::vector<std::string> devices;
  for (int i = 0; i < others; ++i) {
    devices.push_back(
        otherHidDevice(0x1000 + static_cast<unsigned>(i), 0x0001, "OTHER" + std::to_string(i)));
  }
  devices.push_back(standaloneController("0000000A"));
  return korvex::testing::makeWorld(hidWorld(devices));
}

void reportCalls(benchmark::State& state, const korvex::sim::SimPlatform& world) {
  const auto c = world.counts();
  const auto perCommand = [&](std::uint64_t n) {
    return benchmark::Counter(static_cast<double>(n) / static_cast<double>(state.iterations()));
  };
  state.counters["interfaces"] = perCommand(c.interfacesVisited);
  state.counters["opens"] = perCommand(c.hidOpens);
  state.counters["hidQueries"] = perCommand(c.hidQueries);
  state.counters["featureSets"] = perCommand(c.featureSets);
  state.counters["featureGets"] = perCommand(c.featureGets);
}

void BM_GetStatus(benchmark::State& state) {
  auto world = worldWith(static_cast<int>(state.range(0)));
  korvex::controller::ControllerLocks locks;
  korvex::controller::ControllerCommands commands(*world, locks);
  world->resetCounts();
  for (auto _ : state) {
    std::uint8_t status = 0;
    if (commands.getStatus(u"0000000A", &status) != 1) state.SkipWithError("no reply");
    benchmark::DoNotOptimize(status);
  }
  reportCalls(state, *world);
}
BENCHMARK(BM_GetStatus)->Arg(1)->Arg(50)->Arg(200)->ArgName("otherHid");

void BM_ReadFram255(benchmark::State& state) {
  auto world = worldWith(1);
  korvex::controller::ControllerLocks locks;
  korvex::controller::ControllerCommands commands(*world, locks);
  world->resetCounts();
  std::array<std::uint8_t, 255> data{};
  for (auto _ : state) {
    if (commands.readFram(u"0000000A", 0, 255, data.data()) != 1) state.SkipWithError("no reply");
    benchmark::DoNotOptimize(data);
  }
  reportCalls(state, *world);
}
BENCHMARK(BM_ReadFram255);

}  // namespace

BENCHMARK_MAIN();
