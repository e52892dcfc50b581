// The benchmarks' worlds, built from tests/worlds/core_watched_hub.json.
#pragma once

#include <memory>
#include <string>

#include "test_worlds.h"

namespace korvex::bench {

// Hubs H1..H<hubs> on host controller 0; with otherPorts, that many more
// root ports spread over ten host controllers, every second one holding a
// mouse. On the virtual clock.
inline std::unique_ptr<sim::Simulator> hubsWorld(int hubs, int otherPorts = 0) {
  auto world = testing::loadWorld("core_watched_hub.json");
  world->changeWorld([&](sim::World& w) {
    testing::repeatFirstHub(w, hubs);
    w.hostControllers.resize(otherPorts > 0 ? 10 : 1);
    for (int i = 0; i < otherPorts; ++i) {
      auto& hc = w.hostControllers[static_cast<std::size_t>(i % 10)];
      hc.number = static_cast<std::uint8_t>(i % 10);
      sim::Port port;
      if (i % 2 == 1) {
        sim::Device& mouse = port.device.emplace();
        mouse.vendorId = 0x046D;
        mouse.productId = 0xC077;
        mouse.product = u"Mouse";
      }
      hc.rootHub.ports.push_back(std::move(port));
    }
  });
  return world;
}

// Per-iteration figures of a call count, for the benchmark's counters.
template <typename State>
auto perIteration(const State& state, std::uint64_t count) {
  return static_cast<double>(count) / static_cast<double>(state.iterations());
}

}  // namespace korvex::bench
