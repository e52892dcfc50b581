// A program linked against korvex.dll through its import library, as the
// application is: every controller command must resolve at link time under
// the public header's declarations, and answer for a hub that is not there.
#include <gtest/gtest.h>
#include <korvex.h>

#include <array>
#include <cstdint>

namespace {

TEST(LinkExports, CommandsResolveAndFailWithoutAController) {
  const KORVEX_CHAR* const serial = L"KVX-ABSENT-0002";
  std::uint8_t byte = 0xA5;
  std::array<std::uint8_t, 8> data{};
  EXPECT_EQ(Hub_GetStatus(serial, &byte), 0);
  EXPECT_EQ(Hub_SetStatus(serial, 1u), 0);
  EXPECT_EQ(Hub_SetReset(serial, 0u), 0);
  EXPECT_EQ(Hub_GetFault(serial, &byte), 0);
  EXPECT_EQ(Hub_SetPICWrite(serial), 0);
  EXPECT_EQ(Hub_GetRTC(serial, data.data()), 0);
  EXPECT_EQ(Hub_SetRTC(serial, data.data()), 0);
  EXPECT_EQ(Hub_ReadFram(serial, 0u, 8u, data.data()), 0);
  EXPECT_EQ(Hub_WriteFram(serial, 0u, 8u, data.data()), 0);
  EXPECT_EQ(Hub_WriteUSBSerial(serial, data.data()), 0);
  EXPECT_EQ(byte, 0xA5);
}

}  // namespace
