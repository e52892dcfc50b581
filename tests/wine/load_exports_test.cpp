// korvex.dll as a foreign caller meets it: loaded by path, each controller
// command resolved by its plain name and called through a pointer spelled
// out here as __stdcall, not taken from the library's header.
//
// The machine has no hub controller, so every command must fail at once and
// leave the caller's buffers alone.
#include <windows.h>

#include <gtest/gtest.h>
#include <korvex.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <type_traits>

#include "korvex_dll.h"

namespace {

using Serial = const wchar_t*;
using GetStatusFn = int(__stdcall*)(Serial, std::uint8_t*);
using SetStatusFn = int(__stdcall*)(Serial, unsigned int);
using SetResetFn = int(__stdcall*)(Serial, unsigned int);
using GetFaultFn = int(__stdcall*)(Serial, std::uint8_t*);
using SetPicWriteFn = int(__stdcall*)(Serial);
using GetRtcFn = int(__stdcall*)(Serial, std::uint8_t*);
using SetRtcFn = int(__stdcall*)(Serial, const std::uint8_t*);
using ReadFramFn = int(__stdcall*)(Serial, unsigned int, unsigned int, std::uint8_t*);
using WriteFramFn = int(__stdcall*)(Serial, unsigned int, unsigned int, const std::uint8_t*);
using WriteUsbSerialFn = int(__stdcall*)(Serial, const std::uint8_t*);

// The public header must declare what the DLL exports.
static_assert(std::is_same_v<GetStatusFn, decltype(&Hub_GetStatus)>);
static_assert(std::is_same_v<SetStatusFn, decltype(&Hub_SetStatus)>);
static_assert(std::is_same_v<SetResetFn, decltype(&Hub_SetReset)>);
static_assert(std::is_same_v<GetFaultFn, decltype(&Hub_GetFault)>);
static_assert(std::is_same_v<SetPicWriteFn, decltype(&Hub_SetPICWrite)>);
static_assert(std::is_same_v<GetRtcFn, decltype(&Hub_GetRTC)>);
static_assert(std::is_same_v<SetRtcFn, decltype(&Hub_SetRTC)>);
static_assert(std::is_same_v<ReadFramFn, decltype(&Hub_ReadFram)>);
static_assert(std::is_same_v<WriteFramFn, decltype(&Hub_WriteFram)>);
static_assert(std::is_same_v<WriteUsbSerialFn, decltype(&Hub_WriteUSBSerial)>);

constexpr std::array<const char*, 10> kCommandNames = {
    "Hub_GetStatus", "Hub_SetStatus", "Hub_SetReset", "Hub_GetFault",  "Hub_SetPICWrite",
    "Hub_GetRTC",    "Hub_SetRTC",    "Hub_ReadFram", "Hub_WriteFram", "Hub_WriteUSBSerial"};

// Serials no controller reports: made up, empty, and one too long to match.
constexpr std::array<Serial, 3> kAbsentSerials = {L"KVX-ABSENT-0001", L"",
                                                  L"0123456789ABCDEF0123456789ABCDEF0123456789"};

// A command that found no controller returns at once; one that waited for
// a reply would take its whole time-out (1000 ms for Hub_SetReset).
constexpr auto kPromptly = std::chrono::milliseconds(500);
constexpr std::uint8_t kUntouched = 0xA5;

#if defined(__i386__)
// Where the stack pointer is. Between two calls with nothing pushed it must
// not move: a callee that pops more or less than the caller expects moves it.
std::uintptr_t stackPointer() {
  std::uintptr_t sp = 0;
  asm volatile("movl %%esp, %0" : "=r"(sp) : : "memory");
  return sp;
}
#else
std::uintptr_t stackPointer() {
  return 0;
}
#endif

class LoadExportsTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { library_ = LoadLibraryW(korvex::wine::korvexDllPath().c_str()); }
  static void TearDownTestSuite() {
    if (library_ != nullptr) FreeLibrary(library_);
    library_ = nullptr;
  }

  void SetUp() override { ASSERT_NE(library_, nullptr) << "korvex.dll did not load"; }

  template <typename Fn>
  static Fn resolve(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library_, name)));
  }

  // Calls f(args...) and checks that it fails promptly and keeps the stack
  // balanced.
  template <typename Fn, typename... Args>
  static void expectPromptFailure(const char* name, Serial serial, Args... args) {
    const Fn f = resolve<Fn>(name);
    ASSERT_NE(f, nullptr) << name;
    const auto start = std::chrono::steady_clock::now();
    const std::uintptr_t before = stackPointer();
    const int result = f(serial, args...);
    const std::uintptr_t after = stackPointer();
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result, 0) << name;
    EXPECT_EQ(before, after) << name << ": the stack pointer moved across the call";
    EXPECT_LT(elapsed, kPromptly) << name;
  }

  static HMODULE library_;
};

HMODULE LoadExportsTest::library_ = nullptr;

TEST_F(LoadExportsTest, CommandsAreExportedUnderPlainNames) {
  for (const char* name : kCommandNames) {
    EXPECT_NE(resolve<void (*)()>(name), nullptr) << name;
    // The 32-bit stdcall decorations must not leak into the export table.
    for (const std::string& decorated : {"_" + std::string(name), std::string(name) + "@4",
                                         std::string(name) + "@8", std::string(name) + "@16"}) {
      EXPECT_EQ(resolve<void (*)()>(decorated.c_str()), nullptr) << decorated;
    }
  }
}

TEST_F(LoadExportsTest, EveryCommandFailsAtOnceWithoutAController) {
  const std::array<std::uint8_t, 7> clock = {0x00, 0x30, 0x12, 0x00, 0x01, 0x06, 0x25};
  const std::array<std::uint8_t, 255> fram{};
  const std::array<std::uint8_t, 8> usbSerial = {0, 0, 0, 0, 0, 0, 0, 7};
  for (const Serial serial : kAbsentSerials) {
    SCOPED_TRACE(testing::Message() << "serial of " << std::wstring(serial).size() << " units");
    std::uint8_t status = kUntouched;
    std::uint8_t fault = kUntouched;
    std::array<std::uint8_t, 7> clockOut;
    clockOut.fill(kUntouched);
    std::array<std::uint8_t, 255> framOut;
    framOut.fill(kUntouched);

    expectPromptFailure<GetStatusFn>("Hub_GetStatus", serial, &status);
    expectPromptFailure<SetStatusFn>("Hub_SetStatus", serial, 1u);
    expectPromptFailure<SetResetFn>("Hub_SetReset", serial, 0x5Au);
    expectPromptFailure<GetFaultFn>("Hub_GetFault", serial, &fault);
    expectPromptFailure<SetPicWriteFn>("Hub_SetPICWrite", serial);
    expectPromptFailure<GetRtcFn>("Hub_GetRTC", serial, clockOut.data());
    expectPromptFailure<SetRtcFn>("Hub_SetRTC", serial, clock.data());
    expectPromptFailure<ReadFramFn>("Hub_ReadFram", serial, 0u, 255u, framOut.data());
    expectPromptFailure<WriteFramFn>("Hub_WriteFram", serial, 0u, 255u, fram.data());
    expectPromptFailure<WriteUsbSerialFn>("Hub_WriteUSBSerial", serial, usbSerial.data());

    EXPECT_EQ(status, kUntouched);
    EXPECT_EQ(fault, kUntouched);
    for (const std::uint8_t b : clockOut) EXPECT_EQ(b, kUntouched);
    for (const std::uint8_t b : framOut) EXPECT_EQ(b, kUntouched);
  }
}

// A convention mismatch moves the stack by the arguments' size on every
// call; many calls in a row turn any drift into a failure or a crash.
TEST_F(LoadExportsTest, RepeatedCallsKeepTheStackBalanced) {
  const auto getStatus = resolve<GetStatusFn>("Hub_GetStatus");
  const auto readFram = resolve<ReadFramFn>("Hub_ReadFram");
  const auto setPicWrite = resolve<SetPicWriteFn>("Hub_SetPICWrite");
  ASSERT_TRUE(getStatus && readFram && setPicWrite);
  std::uint8_t status = kUntouched;
  std::array<std::uint8_t, 32> buffer{};
  const std::uintptr_t before = stackPointer();
  int successes = 0;
  for (int i = 0; i < 200; ++i) {
    successes += getStatus(kAbsentSerials[0], &status);
    successes += readFram(kAbsentSerials[0], 0u, 32u, buffer.data());
    successes += setPicWrite(kAbsentSerials[0]);
  }
  EXPECT_EQ(stackPointer(), before);
  EXPECT_EQ(successes, 0);
  EXPECT_EQ(status, kUntouched);
}

}  // namespace
