// The exported functions of the built shared library, over a simulated world
// bound to a file (run_exports_tests.sh): the argument conventions at the
// boundary, the files the library keeps and the reason for each failure.
#include <korvex.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

namespace {

namespace fs = std::filesystem;

// The library binds its world when it is loaded, before main: the runner
// script names the world file in the environment, beside which the library
// keeps its files.
fs::path folder() {
  const char* world = std::getenv("KORVEX_SIM_WORLD");
  return world == nullptr ? fs::path() : fs::path(world).parent_path();
}

TEST(Exports, ByteArgumentsUseTheLowEightBitsOnly) {
  ASSERT_EQ(Hub_SetStatus(u"0000000A", 0x100), 1);  // low byte 0: off
  std::uint8_t status = 0xEE;
  ASSERT_EQ(Hub_GetStatus(u"0000000A", &status), 1);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(Hub_SetStatus(u"0000000A", 0xFFFFFF01u), 1);
  ASSERT_EQ(Hub_GetStatus(u"0000000A", &status), 1);
  EXPECT_EQ(status, 1);
  std::uint8_t byte = 0x33;
  // Address 0x1FF is 255 once cut to a byte: one byte from it is past the end.
  EXPECT_EQ(Hub_ReadFram(u"0000000A", 0x1FF, 1, &byte), 0);
  // Count 0x100 is 0: nothing to read, success.
  EXPECT_EQ(Hub_ReadFram(u"0000000A", 0, 0x100, &byte), 1);
  EXPECT_EQ(byte, 0x33);
  // The load created the store beside the world file.
  ASSERT_TRUE(fs::exists(folder() / "korvex.dat")) << "run through run_exports_tests.sh";
  HubDeviceInfo hub{}, back{};
  std::copy_n(u"0000000A", 8, hub.controllerSerial);
  ASSERT_EQ(Hub_SetAutoCheckDeviceInfo(&hub), 1);
  EXPECT_EQ(Hub_GetAutoCheckDeviceInfoIndex(&back, 0x100), 1);  // index 0 once cut
  ASSERT_EQ(Hub_DeleteAutoCheckDeviceInfo(&hub), 1);
  ASSERT_EQ(Hub_SetAutoCheckTimeInfo(0x105, 0x203), 1);
  std::uint8_t interval = 0, offTime = 0;
  ASSERT_EQ(Hub_GetAutoCheckTimeInfo(&interval, &offTime), 1);
  EXPECT_EQ(interval, 5);
  EXPECT_EQ(offTime, 3);
}

int anotherFailure() {
  std::uint8_t byte = 0;
  return Hub_GetStatus(u"NOPE", &byte);
}

int succeed() {
  std::uint8_t interval = 0, offTime = 0;
  return Hub_GetAutoCheckTimeInfo(&interval, &offTime);
}

// Every export tells why it failed, and clears the reason when it succeeds
// (also when a step inside it failed); reading the reason leaves it.
TEST(LastError, EachFailureGivesItsReason) {
  std::uint8_t byte = 0;
  std::array<std::uint8_t, 8> bytes{};
  HubDeviceInfo info{}, hub{};
  std::copy_n(u"0000000A", 8, hub.controllerSerial);
  const struct {
    const char* name;
    std::function<int()> call;
    int result, reason;
  } cases[] = {
      {"absent", [&] { return Hub_GetStatus(u"NOPE", &byte); }, 0, KORVEX_ERROR_NO_SUCH_CONTROLLER},
      {"silent", [&] { return Hub_GetFault(u"MUTE", &byte); }, 0, KORVEX_ERROR_NO_REPLY},
      {"reset unanswered", [] { return Hub_SetReset(u"MUTE", 1); }, 1, KORVEX_ERROR_NONE},
      {"not delivered", [] { return Hub_SetStatus(u"DEAF", 1); }, 0, KORVEX_ERROR_DEVICE_ERROR},
      {"short report", [&] { return Hub_SetRTC(u"SHORT", bytes.data()); }, 0,
       KORVEX_ERROR_DEVICE_ERROR},
      {"no lengths", [] { return Hub_SetPICWrite(u"CAPS"); }, 0, KORVEX_ERROR_DEVICE_ERROR},
      {"null output", [] { return Hub_GetRTC(u"0000000A", nullptr); }, 0,
       KORVEX_ERROR_BAD_ARGUMENT},
      {"no hubs", [&] { return Hub_GetDeviceInfo(&info); }, 0, KORVEX_ERROR_NO_SUCH_HUB},
      {"no next hub", [&] { return Hub_GetNextDeviceInfo(&info); }, 0,
       KORVEX_ERROR_NO_MORE_ENTRIES},
      {"empty list", [&] { return Hub_GetAutoCheckDeviceInfo(&info); }, 0,
       KORVEX_ERROR_NO_MORE_ENTRIES},
      {"unlisted", [&] { return Hub_GetAutoCheckDeviceInfoSerial(&info, u"NOPE"); }, 0,
       KORVEX_ERROR_NOT_LISTED},
      {"list full",
       [&] {
         for (int i = 0; i < 32; ++i) Hub_SetAutoCheckDeviceInfo(&hub);
         return Hub_SetAutoCheckDeviceInfo(&hub);
       },
       0, KORVEX_ERROR_LIST_FULL},
      {"emptied",
       [&] {
         for (int i = 0; i < 32; ++i) Hub_DeleteAutoCheckDeviceInfo(&hub);
         return Hub_DeleteAutoCheckDeviceInfo(&hub);
       },
       0, KORVEX_ERROR_NOT_LISTED},
      {"started twice", [] { return Hub_StartAutoRecovery() + Hub_StartAutoRecovery(); }, 1,
       KORVEX_ERROR_ALREADY_RUNNING},
      {"stopped twice", [] { return Hub_StopAutoRecovery() + Hub_StopAutoRecovery(); }, 1,
       KORVEX_ERROR_NOT_RUNNING},
      {"status off", [] { return Hub_GetAutoRecoveryStatus(); }, 0, KORVEX_ERROR_NONE},
  };
  for (const auto& k : cases) {
    ASSERT_EQ(anotherFailure(), 0);
    EXPECT_EQ(k.call(), k.result) << k.name;
    EXPECT_EQ(Hub_GetLastError(), k.reason) << k.name;
    EXPECT_EQ(Hub_GetLastError(), k.reason) << k.name;
    EXPECT_EQ(succeed(), 1) << k.name;
    EXPECT_EQ(Hub_GetLastError(), KORVEX_ERROR_NONE) << k.name;
  }
}

// Another thread's failure leaves this thread's reason.
TEST(LastError, EachThreadHasItsOwn) {
  ASSERT_EQ(anotherFailure(), 0);
  int theirs = -1;
  std::thread([&] {
    EXPECT_EQ(Hub_SetStatus(u"DEAF", 1), 0);
    theirs = Hub_GetLastError();
  }).join();
  EXPECT_EQ(Hub_GetLastError(), KORVEX_ERROR_NO_SUCH_CONTROLLER);
  EXPECT_EQ(theirs, KORVEX_ERROR_DEVICE_ERROR);
}

}  // namespace
