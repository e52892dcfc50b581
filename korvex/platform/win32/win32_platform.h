// The real platform: every seam entry is the Win32 call it stands for.
//
// Handles cross the seam as the HANDLE value itself; kNoHandle is
// INVALID_HANDLE_VALUE.
#pragma once

#include <cstdint>

#include "korvex/platform/platform.h"

namespace korvex::platform {

// How long one hub or host controller I/O control may take before it is
// cancelled and reported as failed.
inline constexpr std::uint32_t kUsbIoTimeoutMs = 5000;

class Win32Platform final : public Platform {
 public:
  explicit Win32Platform(std::uint32_t usbIoTimeoutMs = kUsbIoTimeoutMs)
      : usbIoTimeoutMs_(usbIoTimeoutMs) {}

  bool enumerateInterfaces(InterfaceClass cls, const InterfaceVisitor& visit) override;

  Handle openHid(std::u16string_view path) override;
  std::optional<HidAttributes> hidAttributes(Handle h) override;
  bool hidSerialNumber(Handle h, std::span<char16_t, kHidSerialUnits> buffer) override;
  std::optional<HidCaps> hidCaps(Handle h) override;
  bool hidSetFeature(Handle h, std::span<std::uint8_t> report) override;
  bool hidGetFeature(Handle h, std::span<std::uint8_t> report) override;

  Handle openUsbNode(std::u16string_view path) override;
  bool ioControl(Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                 std::uint32_t& bytesReturned) override;

  void close(Handle h) override;

  std::uint32_t tickCount() override;
  LocalTime localTime() override;
  void sleep(std::uint32_t milliseconds) override;

  Handle createEvent() override;
  void setEvent(Handle event) override;
  void resetEvent(Handle event) override;
  bool waitEvent(Handle event, std::uint32_t milliseconds) override;

  Handle openFile(std::u16string_view path, FileOpen how) override;
  bool readFile(Handle file, std::span<std::uint8_t> buffer, std::uint32_t& bytesRead) override;
  bool writeFile(Handle file, std::span<const std::uint8_t> bytes) override;
  bool seekFileEnd(Handle file) override;
  bool flushFile(Handle file) override;
  bool replaceFile(std::u16string_view source, std::u16string_view target) override;
  bool deleteFile(std::u16string_view path) override;

  Handle startThread(ThreadEntry entry, void* argument) override;
  bool threadStarted(Handle thread) override;
  bool waitThreadFinished(Handle thread, std::uint32_t milliseconds) override;
  void terminateThread(Handle thread) override;
  void releaseThread(Handle thread) override;

  std::u16string executableFolder() override;

 private:
  std::uint32_t usbIoTimeoutMs_;
};

}  // namespace korvex::platform
