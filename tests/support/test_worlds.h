// The simulated worlds of the core tests: JSON files under tests/worlds/,
// read into a simulator on a virtual clock, and the few edits the tests
// make to them.
#pragma once

#include <korvex.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "korvex/common/utf16.h"
#include "simulator/simulator.h"

namespace korvex::testing {

inline std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// tests/worlds/<name> on a virtual clock starting at startTick, whose
// tick counter moves 1 ms per reading; on the real clock without one. By
// default a wait moves the virtual clock on (one thread, nothing else moves
// it); tests that drive threads through time ask for Manual waits.
inline std::unique_ptr<sim::Simulator> loadWorld(
    const std::string& name, std::optional<std::uint32_t> startTick = 1000,
    sim::VirtualWaits waits = sim::VirtualWaits::Advance) {
  auto world = sim::Simulator::fromJson(readText(std::filesystem::path(KORVEX_TEST_WORLDS) / name));
  if (startTick) world->useVirtualClock(*startTick, 1, waits);
  return world;
}

// The firmware of the first controller with this serial.
inline sim::Firmware& firmwareOf(sim::World& w, std::u16string_view serial) {
  return *sim::findController(w, serial)->firmware;
}

// The downstream port of the hub whose controller has this serial.
inline sim::Port& downstreamOf(sim::World& w, std::u16string_view serial) {
  return *sim::findController(w, serial)->downstream;
}

// Makes root port 1 of host controller 0, a hub carrying the controller
// "H1", into `count` such hubs "H1".."H<count>".
inline void repeatFirstHub(sim::World& w, int count) {
  auto& ports = w.hostControllers[0].rootHub.ports;
  const sim::Port model = ports[0];
  ports.clear();
  for (int i = 1; i <= count; ++i) {
    sim::Port copy = model;
    copy.device->hub->name.clear();
    auto& controller = *copy.device->hub->ports[1].device;
    controller.serial = u"H" + fromUtf8(std::to_string(i));
    controller.controller->hid.path.clear();
    ports.push_back(std::move(copy));
  }
}

// Takes the paths of the controllers on host controller 0's root ports
// from their (new) positions, as Windows names a device after its port.
inline void renameControllers(sim::World& w) {
  for (auto& port : w.hostControllers[0].rootHub.ports) {
    if (port.device) port.device->hub->ports[1].device->controller->hid.path.clear();
  }
}

// A string field of a HubDeviceInfo, in UTF-8.
inline std::string text(const KORVEX_CHAR* units) {
  return toUtf8(reinterpret_cast<const char16_t*>(units));
}

}  // namespace korvex::testing
