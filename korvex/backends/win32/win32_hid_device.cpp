#include "korvex/backends/win32/win32_hid_device.h"

#include <array>
#include <string>
#include <vector>

#include "korvex/backends/win32/hub_replies.h"
#include "korvex/backends/win32/win32_hid.h"

namespace korvex::win32 {

Win32HidDevice::~Win32HidDevice() {
  CloseHandle(handle_);
}

std::optional<seam::HidIdentity> Win32HidDevice::identity() {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!HidD_GetAttributes(handle_, &attributes)) return std::nullopt;
  // The serial is what the call leaves in the zeroed buffer, whatever the
  // call reports: a device need not end it with a NUL, and one without a
  // serial leaves the buffer empty.
  std::array<char16_t, seam::kHidSerialUnits> serial{};
  HidD_GetSerialNumberString(handle_, serial.data(), static_cast<ULONG>(sizeof(serial)));
  return seam::HidIdentity{attributes.VendorID, attributes.ProductID, parseHidSerial(serial)};
}

std::optional<seam::HidReportLengths> Win32HidDevice::reportLengths() {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(handle_, &preparsed)) return std::nullopt;
  HIDP_CAPS caps{};
  const NTSTATUS status = HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  // HIDP_STATUS_INVALID_PREPARSED_DATA is the documented failure; any other
  // status but success is taken as one too.
  if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
  return seam::HidReportLengths{caps.InputReportByteLength, caps.OutputReportByteLength,
                                caps.FeatureReportByteLength};
}

bool Win32HidDevice::setFeature(std::span<const std::uint8_t> report) {
  // HidD_SetFeature takes a writable buffer, though it only reads it.
  std::vector<std::uint8_t> copy(report.begin(), report.end());
  return HidD_SetFeature(handle_, copy.data(), static_cast<ULONG>(copy.size())) != FALSE;
}

bool Win32HidDevice::getFeature(std::span<std::uint8_t> report) {
  return HidD_GetFeature(handle_, report.data(), static_cast<ULONG>(report.size())) != FALSE;
}

std::unique_ptr<Win32HidDevice> openHidDevice(std::u16string_view path) {
  const std::wstring name(path.begin(), path.end());
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof(security);
  security.bInheritHandle = FALSE;
  // Access 0: the attribute, string and feature-report calls need neither
  // read nor write access, and devices the system holds for itself
  // (keyboards, mice) still open for these queries.
  const HANDLE handle = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                    OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32HidDevice>(handle);
}

}  // namespace korvex::win32
