// The controller commands over the HID devices of core_controllers.json.
#pragma once

#include <string>

#include "korvex/controller/controller_commands.h"
#include "test_worlds.h"

namespace korvex::controller {

struct Controllers {
  explicit Controllers(std::optional<std::uint32_t> startTick = 1000)
      : world(testing::loadWorld("core_controllers.json", startTick)),
        commands(*world, *world, locks) {}

  // GetStatus is the cheapest command: one exchange, one reply byte.
  bool reaches(const char16_t* serial) {
    std::uint8_t status = 0xEE;
    return commands.getStatus(serial, &status) == 1;
  }

  // The request reports the controller received, as hex, each cut after
  // its last non-zero byte.
  std::vector<std::string> sent(std::u16string_view serial) const {
    std::vector<std::string> out;
    for (const auto& r : world->requestsTo(serial)) {
      std::size_t end = r.bytes.size();
      while (end > 0 && r.bytes[end - 1] == 0) --end;
      std::string hex;
      for (std::size_t i = 0; i < end; ++i) {
        static constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[r.bytes[i] >> 4];
        hex += kDigits[r.bytes[i] & 15];
      }
      out.push_back(hex);
    }
    return out;
  }

  std::unique_ptr<sim::Simulator> world;
  ControllerLocks locks;
  ControllerCommands commands;
};

}  // namespace korvex::controller
