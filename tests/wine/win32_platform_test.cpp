// The real platform against a real (emulated) system: the calls that need no
// USB hardware, and the time-out of hub I/O controls, with a named pipe
// standing in for a hub driver that holds a request.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <string>
#include <thread>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {
namespace {

using namespace std::chrono_literals;
using win32::fromHandle;

// FSCTL_PIPE_LISTEN waits until a client connects; FSCTL_PIPE_PEEK answers
// at once with a 16-byte header followed by the waiting data.
constexpr std::uint32_t kPipeListen = 0x00110008;
constexpr std::uint32_t kPipePeek = 0x0011400C;
constexpr std::size_t kPeekHeaderBytes = 16;

const wchar_t* const kPipeName = L"\\\\.\\pipe\\korvex-win32-platform-test";

class PipeServer {
 public:
  PipeServer()
      : handle_(CreateNamedPipeW(kPipeName, PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr)) {}
  ~PipeServer() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  PipeServer(const PipeServer&) = delete;
  PipeServer& operator=(const PipeServer&) = delete;

  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

HANDLE connectClient() {
  return CreateFileW(kPipeName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

TEST(Win32PlatformUsbIo, HeldRequestIsCancelledAfterTheTimeOut) {
  Win32Platform platform(200);
  PipeServer server;
  ASSERT_NE(server.get(), INVALID_HANDLE_VALUE);
  std::array<std::uint8_t, 8> buffer{};
  std::uint32_t returned = 99;

  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(platform.ioControl(fromHandle(server.get()), kPipeListen, buffer, returned));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(returned, 0u);
  EXPECT_GE(elapsed, 150ms);
  EXPECT_LT(elapsed, 3s);
}

TEST(Win32PlatformUsbIo, RequestCompletingWithinTheTimeOutSucceeds) {
  Win32Platform platform(5000);
  PipeServer server;
  ASSERT_NE(server.get(), INVALID_HANDLE_VALUE);
  HANDLE client = INVALID_HANDLE_VALUE;
  std::thread connector([&client] {
    std::this_thread::sleep_for(100ms);
    client = connectClient();
  });
  std::array<std::uint8_t, 8> buffer{};
  std::uint32_t returned = 99;
  const bool connected =
      platform.ioControl(fromHandle(server.get()), kPipeListen, buffer, returned);
  connector.join();
  ASSERT_NE(client, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(connected);

  // The same buffer carries the request and the reply, and the count comes back.
  const std::array<char, 5> data = {'h', 'e', 'l', 'l', 'o'};
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(client, data.data(), data.size(), &written, nullptr));
  std::array<std::uint8_t, 64> peek{};
  EXPECT_TRUE(platform.ioControl(fromHandle(server.get()), kPipePeek, peek, returned));
  EXPECT_EQ(returned, kPeekHeaderBytes + data.size());
  EXPECT_EQ(peek[kPeekHeaderBytes], 'h');
  CloseHandle(client);
}

// Without a device nothing opens, and a handle that is no HID device (here
// a pipe) answers no HID call.
TEST(Win32PlatformDevices, NothingOpensOrAnswersWithoutADevice) {
  Win32Platform platform;
  EXPECT_EQ(platform.openUsbNode(u"\\\\.\\KorvexNoSuchNode"), kNoHandle);
  EXPECT_EQ(platform.openHid(u"\\\\?\\hid#korvex_no_such_device#0"), kNoHandle);
  std::array<std::uint8_t, 8> buffer{};
  std::uint32_t returned = 99;
  EXPECT_FALSE(platform.ioControl(kNoHandle, kPipePeek, buffer, returned));
  EXPECT_EQ(returned, 0u);
  platform.close(kNoHandle);

  PipeServer server;
  ASSERT_NE(server.get(), INVALID_HANDLE_VALUE);
  const Handle pipe = fromHandle(server.get());
  EXPECT_FALSE(platform.hidAttributes(pipe).has_value());
  EXPECT_FALSE(platform.hidCaps(pipe).has_value());
  std::array<char16_t, kHidSerialUnits> serial{};
  EXPECT_FALSE(platform.hidSerialNumber(pipe, serial));
  std::array<std::uint8_t, 65> report{};
  EXPECT_FALSE(platform.hidSetFeature(pipe, report));
  EXPECT_FALSE(platform.hidGetFeature(pipe, report));
}

TEST(Win32PlatformInterfaces, ListsAreObtainedAndPathsAreNamed) {
  Win32Platform platform;
  for (const InterfaceClass cls : {InterfaceClass::Hid, InterfaceClass::UsbHostController}) {
    const bool listed = platform.enumerateInterfaces(cls, [](auto path) {
      EXPECT_TRUE(path.has_value() && !path->empty());
      return true;
    });
    EXPECT_TRUE(listed);
  }
}

TEST(Win32PlatformProcess, ExecutableFolderHoldsThisProgram) {
  Win32Platform platform;
  const std::u16string folder = platform.executableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'\\');
  const std::wstring program =
      std::wstring(folder.begin(), folder.end()) + L"win32_platform_test.exe";
  EXPECT_NE(GetFileAttributesW(program.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32PlatformTime, LocalTimeFieldsAreInSystemTimeOrder) {
  Win32Platform platform;
  // Retried when the minute turns between the two readings.
  for (int attempt = 0; attempt < 3; ++attempt) {
    const std::time_t now = std::time(nullptr);
    const std::tm expected = *std::localtime(&now);
    const LocalTime t = platform.localTime();
    if (t.minute != expected.tm_min) continue;
    EXPECT_EQ(t.year, expected.tm_year + 1900);
    EXPECT_EQ(t.month, expected.tm_mon + 1);
    EXPECT_EQ(t.dayOfWeek, expected.tm_wday);
    EXPECT_EQ(t.day, expected.tm_mday);
    EXPECT_EQ(t.hour, expected.tm_hour);
    return;
  }
  ADD_FAILURE() << "the minute kept changing";
}

}  // namespace
}  // namespace korvex::platform
