// HID interfaces: opening one and the hid.dll calls on it.
#include <string>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_hid.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {

using win32::fromHandle;
using win32::toHandle;

Handle Win32Platform::openHid(std::u16string_view path) {
  const std::wstring name = win32::toWide(path);
  SECURITY_ATTRIBUTES security{};
  security.nLength = sizeof(security);
  security.lpSecurityDescriptor = nullptr;
  security.bInheritHandle = FALSE;
  // Access 0: the attribute, string and feature-report calls need neither
  // read nor write access, and devices the system holds for itself
  // (keyboards, mice) still open for these queries.
  return fromHandle(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, &security,
                                OPEN_EXISTING, 0, nullptr));
}

std::optional<HidAttributes> Win32Platform::hidAttributes(Handle h) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof(attributes);
  if (!HidD_GetAttributes(toHandle(h), &attributes)) return std::nullopt;
  return HidAttributes{attributes.VendorID, attributes.ProductID, attributes.VersionNumber};
}

bool Win32Platform::hidSerialNumber(Handle h, std::span<char16_t, kHidSerialUnits> buffer) {
  return HidD_GetSerialNumberString(toHandle(h), buffer.data(),
                                    static_cast<ULONG>(buffer.size_bytes())) != FALSE;
}

std::optional<HidCaps> Win32Platform::hidCaps(Handle h) {
  PHIDP_PREPARSED_DATA preparsed = nullptr;
  if (!HidD_GetPreparsedData(toHandle(h), &preparsed)) return std::nullopt;
  HIDP_CAPS caps{};
  const NTSTATUS status = HidP_GetCaps(preparsed, &caps);
  HidD_FreePreparsedData(preparsed);
  // HIDP_STATUS_INVALID_PREPARSED_DATA is the documented failure; any other
  // status but success is taken as one too.
  if (status != HIDP_STATUS_SUCCESS) return std::nullopt;
  return HidCaps{caps.InputReportByteLength, caps.OutputReportByteLength,
                 caps.FeatureReportByteLength};
}

bool Win32Platform::hidSetFeature(Handle h, std::span<std::uint8_t> report) {
  return HidD_SetFeature(toHandle(h), report.data(), static_cast<ULONG>(report.size())) != FALSE;
}

bool Win32Platform::hidGetFeature(Handle h, std::span<std::uint8_t> report) {
  return HidD_GetFeature(toHandle(h), report.data(), static_cast<ULONG>(report.size())) != FALSE;
}

}  // namespace korvex::platform
