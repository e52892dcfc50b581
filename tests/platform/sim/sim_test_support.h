// Shared helpers of the simulator's tests: requests to a controller through
// the platform entries, as the controller link sends them.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>

#include "korvex/platform/sim/sim_platform.h"

namespace korvex::sim::test {

using Report = std::array<std::uint8_t, 65>;

inline Report request(std::uint8_t command, std::uint8_t first = 0, std::uint8_t second = 0,
                      std::initializer_list<std::uint8_t> data = {}) {
  Report r{};
  r[1] = command;
  r[2] = first;
  r[3] = second;
  std::size_t i = 9;
  for (const std::uint8_t b : data) r[i++] = b;
  return r;
}

// The DevicePath of the first controller with this serial.
inline std::u16string controllerPath(SimPlatform& p, std::u16string_view serial) {
  World w = p.world();
  const auto site = findController(w, serial);
  return site ? site->hid->path : std::u16string();
}

// Sends one request on h and reads its reply; nullopt when either fails.
inline std::optional<Report> exchange(SimPlatform& p, platform::Handle h, Report req) {
  if (!p.hidSetFeature(h, req)) return std::nullopt;
  Report reply{};
  if (!p.hidGetFeature(h, reply)) return std::nullopt;
  return reply;
}

// A whole exchange with the controller of this serial: open, send, read,
// close.
inline std::optional<Report> exchangeWith(SimPlatform& p, std::u16string_view serial,
                                          const Report& req) {
  const platform::Handle h = p.openHid(controllerPath(p, serial));
  if (h == platform::kNoHandle) return std::nullopt;
  auto reply = exchange(p, h, req);
  p.close(h);
  return reply;
}

// A port holding a hub that carries the controller "serial", with the
// downstream port's JSON.
inline std::string controllerHub(const std::string& serial, const std::string& downstreamPort,
                                 const std::string& controller = "{}") {
  return R"({"device": {"vid": "0x2B7C", "pid": "0x0101", "hub": {"ports": [)" + downstreamPort +
         R"(, {"device": {"serial": ")" + serial + R"(", "controller": )" + controller + "}}]}}}";
}

// A world of one host controller whose root hub has the given ports.
inline std::string treeWorld(const std::string& rootPorts) {
  return R"({"hostControllers": [{"number": 0, "rootHub": {"ports": [)" + rootPorts + "]}}]}";
}

}  // namespace korvex::sim::test
