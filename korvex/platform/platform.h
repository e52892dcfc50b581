// The library's only door to the operating system.
//
// Subsystem code never calls the platform directly; it calls these entries.
// Each build links one implementation: win32/ (the real calls, Windows builds
// only) or sim/ (a simulated USB world, for tests, tools and demos). The
// entries are at the level of the calls they stand for, so the simulator can
// reproduce every reply the real drivers and devices may give.
//
// Threads: every entry may be called from any thread, concurrently, unless
// its comment says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvex::platform {

// An open file or device. kNoHandle stands for the platform's invalid handle.
using Handle = std::intptr_t;
inline constexpr Handle kNoHandle = -1;

enum class InterfaceClass {
  Hid,                // the HID class GUID from HidD_GetHidGuid
  UsbHostController,  // GUID_DEVINTERFACE_USB_HOST_CONTROLLER
};

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  std::uint16_t versionNumber = 0;
};

struct HidCaps {
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
  std::uint16_t featureReportByteLength = 0;
};

// Field order of the platform's SYSTEMTIME.
struct LocalTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

// How a file is opened (CreateFileW's access, sharing and disposition).
enum class FileOpen {
  ReadAlways,   // GENERIC_READ, FILE_SHARE_READ, OPEN_ALWAYS: a missing file is created empty
  WriteAlways,  // GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS: existing bytes are kept
  WriteNew,     // GENERIC_WRITE, no sharing, CREATE_ALWAYS: an existing file is emptied
};

// Number of UTF-16 units in the buffer handed to hidSerialNumber (64 bytes).
inline constexpr std::size_t kHidSerialUnits = 32;

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- Device interface lists (SetupAPI) ----

  // Receives one interface of a list: its DevicePath, or nullopt when the
  // interface was enumerated but its detail (the path) could not be read.
  // Returns true to go on with the next interface, false to stop.
  using InterfaceVisitor = std::function<bool(std::optional<std::u16string_view> path)>;

  // Lists the present interfaces of the class (DIGCF_PRESENT |
  // DIGCF_DEVICEINTERFACE) in the platform's order, calling visit for member
  // index 0, 1, 2, ... until enumeration fails (end of list or any error) or
  // visit returns false. The list is released before returning.
  // Returns false only when the list itself could not be obtained.
  virtual bool enumerateInterfaces(InterfaceClass cls, const InterfaceVisitor& visit) = 0;

  // ---- HID (hid.dll) ----

  // CreateFileW(path, access 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
  // non-inheritable, OPEN_EXISTING, no flags). kNoHandle on failure.
  virtual Handle openHid(std::u16string_view path) = 0;

  // HidD_GetAttributes. nullopt on failure.
  virtual std::optional<HidAttributes> hidAttributes(Handle h) = 0;

  // HidD_GetSerialNumberString into a buffer of kHidSerialUnits units. The
  // device writes what it likes: the buffer need not hold a NUL. The caller
  // zeroes the buffer first. Returns the call's result.
  virtual bool hidSerialNumber(Handle h, std::span<char16_t, kHidSerialUnits> buffer) = 0;

  // HidD_GetPreparsedData, HidP_GetCaps, HidD_FreePreparsedData in one step.
  // nullopt when the preparsed data or the caps cannot be read.
  virtual std::optional<HidCaps> hidCaps(Handle h) = 0;

  // HidD_SetFeature with the whole span as the report (its size is the
  // length passed). True when the request was delivered.
  virtual bool hidSetFeature(Handle h, std::span<std::uint8_t> report) = 0;

  // HidD_GetFeature into the whole span (byte 0 holds the report ID asked
  // for). True when a reply was read into it.
  virtual bool hidGetFeature(Handle h, std::span<std::uint8_t> report) = 0;

  // ---- USB host controller and hub driver interface ----

  // CreateFileW(path, GENERIC_WRITE, FILE_SHARE_WRITE, no security
  // attributes, OPEN_EXISTING). kNoHandle on failure. (The Windows
  // implementation opens for overlapped I/O so that ioControl can give up on
  // a request that a hub driver holds; to the caller it stays synchronous.)
  virtual Handle openUsbNode(std::u16string_view path) = 0;

  // DeviceIoControl(h, code, buffer, size, buffer, size, &returned, nullptr):
  // the same buffer serves as input and output. Returns the call's result and
  // sets bytesReturned (never more than buffer.size()).
  virtual bool ioControl(Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                         std::uint32_t& bytesReturned) = 0;

  // ---- Handles ----

  // CloseHandle. Ignores kNoHandle.
  virtual void close(Handle h) = 0;

  // ---- Time ----

  // GetTickCount: milliseconds, 32 bits, wraps.
  virtual std::uint32_t tickCount() = 0;

  // GetLocalTime.
  virtual LocalTime localTime() = 0;

  // Sleep.
  virtual void sleep(std::uint32_t milliseconds) = 0;

  // ---- Events ----

  // Manual-reset event, not set (CreateEventW). kNoHandle on failure.
  // close() releases it.
  virtual Handle createEvent() = 0;
  virtual void setEvent(Handle event) = 0;
  virtual void resetEvent(Handle event) = 0;

  // Waits up to milliseconds, on the platform's clock, for the event to be
  // set (WaitForSingleObject). True when it is set.
  virtual bool waitEvent(Handle event, std::uint32_t milliseconds) = 0;

  // ---- Files ----

  // CreateFileW with the access, sharing and disposition that `how` names,
  // FILE_ATTRIBUTE_NORMAL. kNoHandle on failure. close() closes it.
  virtual Handle openFile(std::u16string_view path, FileOpen how) = 0;

  // ReadFile from the current position. False on failure; bytesRead < size
  // at the end of the file.
  virtual bool readFile(Handle file, std::span<std::uint8_t> buffer, std::uint32_t& bytesRead) = 0;

  // WriteFile at the current position. True only when every byte was written.
  virtual bool writeFile(Handle file, std::span<const std::uint8_t> bytes) = 0;

  // SetFilePointer(FILE_END).
  virtual bool seekFileEnd(Handle file) = 0;

  // FlushFileBuffers: the bytes written so far are on the disk.
  virtual bool flushFile(Handle file) = 0;

  // MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING |
  // MOVEFILE_WRITE_THROUGH): target is atomically replaced by source.
  virtual bool replaceFile(std::u16string_view source, std::u16string_view target) = 0;

  // DeleteFileW.
  virtual bool deleteFile(std::u16string_view path) = 0;

  // ---- Threads ----

  using ThreadEntry = void (*)(void* argument);

  // CreateThread with default security and stack size and no flags: the
  // thread starts at once and runs entry(argument). When entry returns, the
  // thread reports itself finished and then ends without running library
  // code again, so that an unload which has seen it finished may unmap the
  // library. kNoHandle when the thread cannot be created.
  virtual Handle startThread(ThreadEntry entry, void* argument) = 0;

  // Whether the thread has begun to run entry. On Windows a new thread
  // cannot begin while the loader lock is held, so during an unload a
  // false answer stays false until the unload returns.
  virtual bool threadStarted(Handle thread) = 0;

  // Waits up to milliseconds for entry to have returned. True when it has.
  virtual bool waitThreadFinished(Handle thread, std::uint32_t milliseconds) = 0;

  // Ends the thread forcibly (TerminateThread, exit code 0): only for a
  // thread that has not started, or as a last resort.
  virtual void terminateThread(Handle thread) = 0;

  // Lets the thread end and releases its handle. Call after the thread has
  // finished or been terminated; the handle is invalid afterwards.
  virtual void releaseThread(Handle thread) = 0;

  // ---- Process ----

  // Drive and directory of the running program's executable, ending in a
  // path separator (GetModuleFileNameW(nullptr) split by _wsplitpath).
  // Empty when it cannot be determined.
  virtual std::u16string executableFolder() = 0;
};

// The implementation this build links: the real platform in a Windows
// product build, the process-wide simulated world elsewhere.
Platform& systemPlatform();

}  // namespace korvex::platform
