// Two threads talking to one controller (the program and the watchdog) must
// never read each other's replies.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <numeric>
#include <thread>

#include "korvex/controller/controller_commands.h"
#include "sim_world_builder.h"

namespace korvex::controller {
namespace {

std::string framHex() {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (unsigned i = 0; i < 255; ++i) {
    hex += digits[i >> 4];
    hex += digits[i & 15];
  }
  return hex;
}

TEST(ControllerConcurrency, OverlappingCommandsEachGetTheirOwnReply) {
  // A reply delay of a real millisecond keeps each exchange open long
  // enough for the other threads to send their requests in between, were
  // the exchanges not serialized.
  auto world = sim::SimPlatform::fromJson(testing::hidWorld({testing::standaloneController(
      "SHARED", R"("replyDelayMs": 1, "fram": ")" + framHex() + '"')}));
  ControllerLocks locks;
  ControllerCommands commands(*world, locks);

  std::atomic<int> wrong{0};
  const auto reader = [&](std::uint8_t address) {
    for (int i = 0; i < 100; ++i) {
      std::array<std::uint8_t, 32> data{};
      if (commands.readFram(u"SHARED", address, 32, data.data()) != 1) {
        ++wrong;
        continue;
      }
      for (unsigned k = 0; k < data.size(); ++k) {
        if (data[k] != static_cast<std::uint8_t>(address + k)) {
          ++wrong;
          break;
        }
      }
    }
  };
  const auto switcher = [&] {
    for (int i = 0; i < 100; ++i) {
      std::uint8_t status = 0xEE;
      if (commands.setStatus(u"SHARED", 1) != 1 || commands.getStatus(u"SHARED", &status) != 1 ||
          status != 1) {
        ++wrong;
      }
    }
  };
  std::thread a(reader, std::uint8_t{0});
  std::thread b(reader, std::uint8_t{128});
  std::thread c(switcher);
  a.join();
  b.join();
  c.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(world->counts().openHandles(), 0u);
}

}  // namespace
}  // namespace korvex::controller
