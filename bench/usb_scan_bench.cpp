// Cost of one USB scan (Hub_GetDeviceInfo: the walk and every recorded
// hub's status read) over large simulated machines: wall time beside the
// seam calls per scan, and for silent controllers the time the scan waits.
#include <benchmark/benchmark.h>

#include "bench_worlds.h"
#include "korvex/library.h"
#include "temp_folder.h"

namespace {

using korvex::bench::perIteration;
using korvex::bench::reportCalls;

void scan(benchmark::State& state, std::unique_ptr<korvex::sim::Simulator> world) {
  const korvex::testing::TempFolder folder("korvex-bench-");
  korvex::Library library(*world, *world, folder.path());
  world->resetCounts();
  const std::uint32_t start = world->tickCount();
  for (auto _ : state) {
    HubDeviceInfo info{};
    if (library.devices().getDeviceInfo(&info) != 1) state.SkipWithError("no hub found");
    benchmark::DoNotOptimize(info);
  }
  // On the virtual clock, which the waits move: the time a scan would take.
  state.counters["waitedMs"] = perIteration(state, world->tickCount() - start);
  reportCalls(state, *world);
}

// 32 hubs carrying the controller and 200 more root ports over ten host
// controllers, half of them holding a mouse, and `otherHid` other HID
// interfaces.
void BM_ScanLargeMachine(benchmark::State& state) {
  auto world = korvex::bench::hubsWorld(32, 200);
  world->changeWorld([&](korvex::sim::World& w) {
    korvex::bench::addOtherHid(w, static_cast<int>(state.range(0)));
  });
  scan(state, std::move(world));
}
BENCHMARK(BM_ScanLargeMachine)
    ->Arg(100)
    ->Arg(200)
    ->ArgName("otherHid")
    ->Unit(benchmark::kMillisecond);

// 32 hubs carrying the controller behind 4 plain hubs, and `otherHid`
// other HID interfaces.
void BM_ScanBehindPlainHubs(benchmark::State& state) {
  scan(state, korvex::bench::behindPlainHubsWorld(32, 4, static_cast<int>(state.range(0))));
}
BENCHMARK(BM_ScanBehindPlainHubs)
    ->Arg(20)
    ->Arg(200)
    ->ArgName("otherHid")
    ->Unit(benchmark::kMillisecond);

// 32 hubs, `silent` of whose controllers never reply, on the real clock:
// waitedMs is the time the scan waits for them.
void BM_ScanSilentControllers(benchmark::State& state) {
  const auto model = korvex::bench::behindPlainHubsWorld(32, 4, 20);
  auto world = korvex::bench::onRealClock(*model);
  world->changeWorld([&](korvex::sim::World& w) {
    for (int i = 1; i <= state.range(0); ++i) {
      korvex::testing::firmwareOf(w, u"H" + korvex::fromUtf8(std::to_string(i))).faults.silent =
          true;
    }
  });
  scan(state, std::move(world));
}
BENCHMARK(BM_ScanSilentControllers)
    ->Arg(1)
    ->Arg(4)
    ->Arg(8)
    ->ArgName("silent")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
