// korvex.dll linked through its import library, as the application has it:
// its export table, the stdcall convention of the header's declarations,
// and commands on a machine without hubs (wine has no USB host controller).
#include <windows.h>

#include <gtest/gtest.h>
#include <korvex.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <set>
#include <string>

namespace {

using namespace std::chrono_literals;

std::set<std::string> exportedNames(HMODULE module) {
  const auto* base = reinterpret_cast<const std::uint8_t*>(module);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports =
      reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::set<std::string> result;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    result.insert(reinterpret_cast<const char*>(base + names[i]));
  }
  return result;
}

// The header's 26 functions, and no stdcall decoration (_Hub_GetStatus@8).
TEST(Exports, OnlyTheHubFunctionsUnderPlainNames) {
  const HMODULE korvex = GetModuleHandleW(L"korvex.dll");
  ASSERT_NE(korvex, nullptr);
  const std::set<std::string> names = exportedNames(korvex);
  EXPECT_EQ(names.size(), 26u);
  for (const std::string& name : names) {
    EXPECT_TRUE(name.starts_with("Hub_") && name.find('@') == std::string::npos) << name;
  }
}

// Where the stack pointer is (32-bit builds): a callee that pops more or less
// than the caller expects moves it.
std::uintptr_t stackPointer() {
  std::uintptr_t sp = 0;
#if defined(__i386__)
  asm volatile("movl %%esp, %0" : "=r"(sp) : : "memory");
#endif
  return sp;
}

// Calls the export, checking that the stack stays balanced and that the call
// returns at once: a command that waited for a reply would take seconds.
template <typename... Params, typename... Args>
int callChecked(const char* name, int(KORVEX_CALL* function)(Params...), Args... args) {
  const auto start = std::chrono::steady_clock::now();
  const std::uintptr_t before = stackPointer();
  const int result = function(args...);
  EXPECT_EQ(stackPointer(), before) << name << ": the stack pointer moved across the call";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms) << name;
  return result;
}
#define CALL(function, ...) callChecked(#function, &function, __VA_ARGS__)

TEST(Exports, EveryCommandFailsAtOnceWithoutAController) {
  std::uint8_t byte = 0;
  std::array<std::uint8_t, 255> buffer{};
  HubDeviceInfo info{};
  for (const KORVEX_CHAR* serial : {L"KVX-ABSENT-0001", L""}) {
    EXPECT_EQ(CALL(Hub_GetStatus, serial, &byte), 0);
    EXPECT_EQ(CALL(Hub_SetStatus, serial, 1u), 0);
    EXPECT_EQ(CALL(Hub_SetReset, serial, 0x5Au), 0);
    EXPECT_EQ(CALL(Hub_GetFault, serial, &byte), 0);
    EXPECT_EQ(CALL(Hub_SetPICWrite, serial), 0);
    EXPECT_EQ(CALL(Hub_GetRTC, serial, buffer.data()), 0);
    EXPECT_EQ(CALL(Hub_SetRTC, serial, buffer.data()), 0);
    EXPECT_EQ(CALL(Hub_ReadFram, serial, 0u, 255u, buffer.data()), 0);
    EXPECT_EQ(CALL(Hub_WriteFram, serial, 0u, 255u, buffer.data()), 0);
    EXPECT_EQ(CALL(Hub_WriteUSBSerial, serial, buffer.data()), 0);
    EXPECT_EQ(CALL(Hub_GetDeviceInfoSerial, &info, serial), 0);
  }
}

// A successful call on a thread of its own.
DWORD WINAPI succeedOnOwnThread(LPVOID) {
  std::uint8_t interval = 0, offTime = 0;
  return static_cast<DWORD>(Hub_GetAutoCheckTimeInfo(&interval, &offTime));
}

// The reason of a failure is the calling thread's, in the DLL's own
// thread-local storage; another thread's success does not clear it.
TEST(Exports, TheLastErrorIsTheCallingThreads) {
  std::uint8_t byte = 0;
  ASSERT_EQ(Hub_GetStatus(L"KVX-ABSENT-0001", &byte), 0);
  const int reason = callChecked("Hub_GetLastError", &Hub_GetLastError);
  EXPECT_NE(reason, KORVEX_ERROR_NONE);
  const HANDLE thread = CreateThread(nullptr, 0, succeedOnOwnThread, nullptr, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
  CloseHandle(thread);
  EXPECT_EQ(Hub_GetLastError(), reason);
}

}  // namespace
