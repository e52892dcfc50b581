// Cost of the controller commands over the simulated world: wall time and
// the seam calls each command makes (the counts are the stable figures).
#include <benchmark/benchmark.h>

#include <array>

#include "bench_worlds.h"
#include "korvex/controller/controller_commands.h"

namespace {

using korvex::bench::perIteration;

// The controller is the last HID interface, behind `others` other devices:
// the worst case of the search.
std::unique_ptr<korvex::sim::Simulator> worldWith(int others) {
  auto world = korvex::bench::hubsWorld(0);
  world->changeWorld([&](korvex::sim::World& w) {
    const auto add = [&](std::uint16_t vendorId, std::uint16_t productId, std::u16string serial) {
      auto& device = w.otherHidDevices.emplace_back();
      device.vendorId = vendorId;
      device.productId = productId;
      device.serial = std::move(serial);
      return &device;
    };
    for (int i = 0; i < others; ++i) add(static_cast<std::uint16_t>(0x1000 + i), 1, u"OTHER");
    add(0x3A91, 0x0023, u"0000000A")->firmware.emplace();
  });
  return world;
}

void reportCalls(benchmark::State& state, const korvex::sim::Simulator& world) {
  const auto c = world.counts();
  state.counters["hidLists"] = perIteration(state, c.hidLists);
  state.counters["hidOpens"] = perIteration(state, c.hidOpens);
  state.counters["featureSets"] = perIteration(state, c.featureSets);
  state.counters["featureGets"] = perIteration(state, c.featureGets);
}

void BM_GetStatus(benchmark::State& state) {
  auto world = worldWith(static_cast<int>(state.range(0)));
  korvex::controller::ControllerLocks locks;
  korvex::controller::ControllerCommands commands(*world, *world, locks);
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
  korvex::controller::ControllerCommands commands(*world, *world, locks);
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
