// Cost of one USB scan (Hub_GetDeviceInfo) over a large simulated machine:
// 10 host controllers with 200 root ports, 32 of them holding hubs that
// carry the controller, and 100 other HID interfaces. Wall time beside the
// platform calls per scan.
#include <benchmark/benchmark.h>

#include <mutex>

#include "korvex/topology/device_queries.h"
#include "sim_world_builder.h"
#include "usb_tree_builder.h"

namespace {

using korvex::testing::Json;

std::string largeWorld() {
  using namespace korvex::testing;
  std::vector<Json> hostControllers;
  int hub = 0;
  for (int hc = 0; hc < 10; ++hc) {
    std::vector<Json> ports;
    for (int p = 0; p < 20; ++p) {
      // Every sixth port a hub carrying the controller, the others a mouse
      // or nothing.
      if ((hc * 20 + p) % 6 == 0 && hub < 32) {
        ports.push_back(port(controllerHub("HUB" + std::to_string(hub++),
                                           usbDevice(0x1111, 0x2222, "Scanner", "S"))));
      } else {
        ports.push_back(p % 2 ? port(usbDevice(0x046D, 0xC077, "Mouse")) : Json());
      }
    }
    hostControllers.push_back(hostController(hc, std::nullopt, ports));
  }
  Json world = Json::parse(treeWorld(hostControllers));
  for (int i = 0; i < 100; ++i) {
    world["otherHidDevices"].push_back(
        {{"vid", 0x2000 + i}, {"pid", 1}, {"serial", "HID" + std::to_string(i)}});
  }
  return world.dump();
}

void BM_ScanLargeMachine(benchmark::State& state) {
  auto world = korvex::testing::makeWorld(largeWorld());
  korvex::controller::ControllerLocks locks;
  korvex::controller::ControllerCommands commands(*world, locks);
  std::mutex libraryLock;
  korvex::topology::DeviceQueries queries(*world, commands, libraryLock);
  world->resetCounts();
  for (auto _ : state) {
    HubDeviceInfo info{};
    if (queries.getDeviceInfo(&info) != 1) state.SkipWithError("no hub found");
    benchmark::DoNotOptimize(info);
  }
  const auto c = world->counts();
  const auto perScan = [&](std::uint64_t n) {
    return benchmark::Counter(static_cast<double>(n) / static_cast<double>(state.iterations()));
  };
  state.counters["ioControls"] = perScan(c.ioControls);
  state.counters["usbOpens"] = perScan(c.usbOpens);
  state.counters["hidOpens"] = perScan(c.hidOpens);
  state.counters["hidQueries"] = perScan(c.hidQueries);
  state.counters["featureReports"] = perScan(c.featureSets + c.featureGets);
}
BENCHMARK(BM_ScanLargeMachine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
