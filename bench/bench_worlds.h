// The benchmarks' worlds, built from tests/worlds/core_watched_hub.json, and
// the figures every benchmark reports.
#pragma once

#include <benchmark/benchmark.h>

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

// `count` HID devices that are not controllers, after the world's own.
inline void addOtherHid(sim::World& w, int count) {
  for (int i = 0; i < count; ++i) {
    auto& other = w.otherHidDevices.emplace_back();
    other.vendorId = static_cast<std::uint16_t>(0x2000 + i);
    other.productId = 1;
    other.serial = u"OTHER";
  }
}

// Hubs H1..H<hubs> spread evenly behind `plainHubs` plain hubs on host
// controller 0's root hub, and `otherHid` other HID devices. On the virtual
// clock.
inline std::unique_ptr<sim::Simulator> behindPlainHubsWorld(int hubs, int plainHubs, int otherHid) {
  auto world = hubsWorld(hubs);
  world->changeWorld([&](sim::World& w) {
    auto& rootPorts = w.hostControllers[0].rootHub.ports;
    std::vector<sim::Port> controllerHubs = std::move(rootPorts);
    rootPorts.assign(static_cast<std::size_t>(plainHubs), sim::Port{});
    for (std::size_t i = 0; i < rootPorts.size(); ++i) {
      sim::Device& plain = rootPorts[i].device.emplace();
      plain.vendorId = 0x05E3;
      plain.productId = 0x0608;
      plain.hub.emplace(sim::Hub{});
    }
    for (std::size_t i = 0; i < controllerHubs.size(); ++i) {
      rootPorts[i % rootPorts.size()].device->hub->ports.push_back(std::move(controllerHubs[i]));
    }
    addOtherHid(w, otherHid);
  });
  return world;
}

// The same world on the real clock, for benchmarks whose threads wait
// side by side (the virtual clock's waits would move it for all of them).
inline std::unique_ptr<sim::Simulator> onRealClock(const sim::Simulator& world) {
  return sim::Simulator::fromJson(world.toJson());
}

// Per-iteration figures of a call count, for the benchmark's counters.
template <typename State>
auto perIteration(const State& state, std::uint64_t count) {
  return static_cast<double>(count) / static_cast<double>(state.iterations());
}

// The device calls counted since the last resetCounts, per iteration:
// opens of hubs and HID interfaces, hub I/O controls, HID enumerations and
// exchanges (requests sent).
inline void reportCalls(benchmark::State& state, const sim::Simulator& world) {
  const auto c = world.counts();
  state.counters["opens"] = perIteration(state, c.hidOpens + c.hubOpens);
  state.counters["hidOpens"] = perIteration(state, c.hidOpens);
  state.counters["ioControls"] = perIteration(state, c.ioControls);
  state.counters["hidLists"] = perIteration(state, c.hidLists);
  state.counters["exchanges"] = perIteration(state, c.featureSets);
  state.counters["featureGets"] = perIteration(state, c.featureGets);
}

}  // namespace korvex::bench
