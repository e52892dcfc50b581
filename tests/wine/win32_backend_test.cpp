// The Windows backend's I/O controls against a driver that holds a request:
// a named pipe stands in for it, whose listen request waits for a client.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>

#include "korvex/backends/win32/win32_io_channel.h"

namespace korvex::win32 {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kPipeListen = 0x00110008;  // FSCTL_PIPE_LISTEN
const char16_t* const kPipeName = u"\\\\.\\pipe\\korvex-win32-backend-test";

std::unique_ptr<IoControlChannel> pipeServer(std::uint32_t timeoutMs) {
  const HANDLE pipe = CreateNamedPipeW(reinterpret_cast<const wchar_t*>(kPipeName),
                                       PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED, PIPE_TYPE_BYTE, 1,
                                       64, 64, 0, nullptr);
  return pipe == INVALID_HANDLE_VALUE ? nullptr : adoptIoChannel(pipe, timeoutMs);
}

TEST(Win32IoChannel, AHeldRequestIsCancelledAfterTheTimeOut) {
  const auto server = pipeServer(200);
  ASSERT_NE(server, nullptr);
  std::array<std::uint8_t, 8> buffer{};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(server->control(kPipeListen, buffer), std::nullopt);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
}

}  // namespace
}  // namespace korvex::win32
