// A HID interface opened for its attributes, serial number and feature
// reports (hid.dll).
#pragma once

#include <memory>
#include <string_view>

#include "korvex/seam/usb_host.h"

namespace korvex::win32 {

class Win32HidDevice final : public seam::HidDevice {
 public:
  // Takes over the open handle (a HANDLE) and closes it when destroyed.
  explicit Win32HidDevice(void* handle) : handle_(handle) {}
  ~Win32HidDevice() override;
  Win32HidDevice(const Win32HidDevice&) = delete;
  Win32HidDevice& operator=(const Win32HidDevice&) = delete;

  std::optional<seam::HidIdentity> identity() override;
  std::optional<seam::HidReportLengths> reportLengths() override;
  bool setFeature(std::span<const std::uint8_t> report) override;
  bool getFeature(std::span<std::uint8_t> report) override;

 private:
  void* handle_;
};

// CreateFileW(path, access 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
// non-inheritable, OPEN_EXISTING, no flags); nullptr when it does not open.
std::unique_ptr<Win32HidDevice> openHidDevice(std::u16string_view path);

}  // namespace korvex::win32
