// Cost of the controller commands over the simulated world: wall time and
// the seam calls each command makes (the counts are the stable figures).
#include <benchmark/benchmark.h>

#include <array>

#include "bench_worlds.h"
#include "korvex/library.h"
#include "temp_folder.h"

namespace {

using korvex::bench::reportCalls;

// The controller is the last HID interface, behind `others` other devices:
// the worst case of a search.
std::unique_ptr<korvex::sim::Simulator> worldWith(int others) {
  auto world = korvex::bench::hubsWorld(0);
  world->changeWorld([&](korvex::sim::World& w) {
    korvex::bench::addOtherHid(w, others);
    auto& controller = w.otherHidDevices.emplace_back();
    controller.vendorId = 0x3A91;
    controller.productId = 0x0023;
    controller.serial = u"0000000A";
    controller.firmware.emplace();
  });
  return world;
}

// The library over a world, its files in a folder of their own.
struct Bench {
  explicit Bench(std::unique_ptr<korvex::sim::Simulator> w)
      : world(std::move(w)), library(*world, *world, folder.path()) {}
  korvex::testing::TempFolder folder{"korvex-bench-"};
  std::unique_ptr<korvex::sim::Simulator> world;
  korvex::Library library;
};

void BM_GetStatus(benchmark::State& state) {
  Bench b(worldWith(static_cast<int>(state.range(0))));
  b.world->resetCounts();
  for (auto _ : state) {
    std::uint8_t status = 0;
    if (b.library.controllers().getStatus(u"0000000A", &status) != 1) {
      state.SkipWithError("no reply");
    }
    benchmark::DoNotOptimize(status);
  }
  reportCalls(state, *b.world);
}
BENCHMARK(BM_GetStatus)->Arg(1)->Arg(50)->Arg(200)->ArgName("otherHid");

// 255 bytes from address 0: eight exchanges.
void BM_ReadFram255(benchmark::State& state) {
  Bench b(worldWith(static_cast<int>(state.range(0))));
  b.world->resetCounts();
  std::array<std::uint8_t, 255> data{};
  for (auto _ : state) {
    if (b.library.controllers().readFram(u"0000000A", 0, 255, data.data()) != 1) {
      state.SkipWithError("no reply");
    }
    benchmark::DoNotOptimize(data);
  }
  reportCalls(state, *b.world);
}
BENCHMARK(BM_ReadFram255)->Arg(1)->Arg(51)->ArgName("otherHid");

// One Hub_GetStatus against a silent controller on the real clock: the
// whole 5 s reply time-out. The CPU column is what the wait costs.
void BM_SilentReplyWait(benchmark::State& state) {
  auto world = worldWith(1);
  world->changeWorld(
      [](korvex::sim::World& w) { w.otherHidDevices.back().firmware->faults.silent = true; });
  Bench b(korvex::bench::onRealClock(*world));
  b.world->resetCounts();
  for (auto _ : state) {
    std::uint8_t status = 0;
    if (b.library.controllers().getStatus(u"0000000A", &status) != 0) {
      state.SkipWithError("a reply came");
    }
  }
  reportCalls(state, *b.world);
}
BENCHMARK(BM_SilentReplyWait)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
