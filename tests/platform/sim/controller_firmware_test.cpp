// The controller firmware on its own: each command's effect and reply, and
// requests whose addresses and counts point past the registers or the FRAM.
#include "korvex/platform/sim/controller_firmware.h"

#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace korvex::sim {
namespace {

using test::request;

TEST(ControllerFirmware, StatusAndFault) {
  ControllerState s;
  s.fault = 0xA5;
  EXPECT_EQ(runRequest(s, request(0x21), std::nullopt).reply[1], 1);
  EXPECT_EQ(runRequest(s, request(0x21), std::uint8_t{0x02}).reply[1], 0x02);
  EXPECT_EQ(runRequest(s, request(0x24), std::nullopt).reply[1], 0xA5);

  const auto off = runRequest(s, request(0x22, 0xFE, 0xFE), std::nullopt);  // bit 0 only
  EXPECT_FALSE(s.power);
  EXPECT_EQ(off.switchPower, false);
  EXPECT_TRUE(off.stateChanged);
  EXPECT_EQ(runRequest(s, request(0x21), std::nullopt).reply[1], 0);
  EXPECT_EQ(runRequest(s, request(0x22, 0x03), std::nullopt).switchPower, true);
  EXPECT_TRUE(s.power);
  EXPECT_FALSE(runRequest(s, request(0x21), std::nullopt).stateChanged);
}

TEST(ControllerFirmware, RegistersFramAndSerial) {
  ControllerState s;
  runRequest(s, request(0x27, 0x00, 7, {0x00, 0x30, 0x12, 0x00, 0x15, 0x06, 0x24}), std::nullopt);
  const Report clock = runRequest(s, request(0x26, 0x00, 7), std::nullopt).reply;
  EXPECT_EQ(clock[9 + 1], 0x30);
  EXPECT_EQ(clock[9 + 6], 0x24);
  EXPECT_EQ(clock[9 + 7], 0);  // only the count asked for

  runRequest(s, request(0x28, 100, 3, {'a', 'b', 'c', 'd'}), std::nullopt);
  EXPECT_EQ(s.fram[102], 'c');
  EXPECT_EQ(s.fram[103], 0);  // the fourth data byte was beyond the count
  const Report fram = runRequest(s, request(0x29, 101, 2), std::nullopt).reply;
  EXPECT_EQ(fram[9], 'b');
  EXPECT_EQ(fram[10], 'c');

  runRequest(s, request(0x30, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0x0B, 0xFF}), std::nullopt);
  EXPECT_EQ(s.usbSerial[7], 0x0B);

  runRequest(s, request(0x23, 0x42), std::nullopt);
  runRequest(s, request(0xFE, 0x5B), std::nullopt);
  runRequest(s, request(0xFE, 0xE6), std::nullopt);
  EXPECT_EQ(s.resetValues, (std::vector<std::uint8_t>{0x42}));
  EXPECT_EQ(s.picWriteSteps, (std::vector<std::uint8_t>{0x5B, 0xE6}));
}

TEST(ControllerFirmware, HostileAddressesAndCountsStayInBounds) {
  ControllerState s;
  s.fram.fill(0x11);
  s.registers.fill(0x22);
  Report data = request(0x28, 0xF0, 0xFF);
  data.fill(0x77);
  data[0] = 0;
  data[1] = 0x28;
  data[2] = 0xF0;
  data[3] = 0xFF;

  // 0xFF bytes from FRAM 0xF0: only 16 exist, and one report carries 32.
  runRequest(s, data, std::nullopt);
  EXPECT_EQ(s.fram[0xEF], 0x11);
  EXPECT_EQ(s.fram[0xF0], 0x77);
  EXPECT_EQ(s.fram[0xFF], 0x77);
  EXPECT_EQ(s.fram[0x00], 0x11);  // no wrap to the start

  const Report read = runRequest(s, request(0x29, 0xF8, 0xFF), std::nullopt).reply;
  EXPECT_EQ(read[9 + 7], 0x77);
  EXPECT_EQ(read[9 + 8], 0);  // past the FRAM
  EXPECT_EQ(read[41], 0);     // past the 32 data bytes

  data[1] = 0x27;
  data[2] = 0x0E;
  runRequest(s, data, std::nullopt);
  EXPECT_EQ(s.registers[0x0D], 0x22);
  EXPECT_EQ(s.registers[0x0F], 0x77);

  const Report regs = runRequest(s, request(0x26, 0xFF, 0xFF), std::nullopt).reply;
  for (std::size_t i = 1; i < regs.size(); ++i) EXPECT_EQ(regs[i], 0) << i;

  const auto unknown = runRequest(s, request(0x99, 1, 2), std::nullopt);
  EXPECT_FALSE(unknown.stateChanged);
  EXPECT_FALSE(unknown.switchPower);
}

}  // namespace
}  // namespace korvex::sim
