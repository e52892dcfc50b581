// The simulator tests' worlds, and requests to a controller through the
// seam as the controller link sends them.
#pragma once

#include "simulator/simulator.h"
#include "test_worlds.h"

namespace korvex::sim::test {

using Report = std::array<std::uint8_t, protocol::kReportSize>;

inline Report request(protocol::Command command, std::uint8_t first = 0, std::uint8_t second = 0,
                      std::initializer_list<std::uint8_t> data = {}) {
  Report r{0, static_cast<std::uint8_t>(command), first, second};
  std::copy(data.begin(), data.end(), r.begin() + protocol::kDataOffset);
  return r;
}

// The HID device of the first listed interface with this serial.
inline std::unique_ptr<seam::HidDevice> openBySerial(Simulator& s, std::u16string_view serial) {
  const auto list = s.hidInterfaces();
  for (const seam::HidInterface& i : list.value()) {
    auto device = s.openHid(i.path);
    const auto identity = device ? device->identity() : std::nullopt;
    if (identity && identity->serial == serial) return device;
  }
  return nullptr;
}

// One request to the controller and its reply; nullopt when either fails.
inline std::optional<Report> exchangeWith(Simulator& s, std::u16string_view serial,
                                          const Report& req) {
  const auto d = openBySerial(s, serial);
  Report reply{};
  if (!d || !d->setFeature(req) || !d->getFeature(reply)) return std::nullopt;
  return reply;
}

}  // namespace korvex::sim::test
