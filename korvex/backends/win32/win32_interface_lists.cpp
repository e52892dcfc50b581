// Device interface lists over SetupAPI.
#include "korvex/backends/win32/win32_interface_lists.h"

#include <windows.h>
// windows.h first: SetupAPI builds on its types.
#include <setupapi.h>

#include <cstddef>
#include <cwchar>

#include "korvex/backends/win32/win32_hid.h"

namespace korvex::win32 {

namespace {

// SetupDiGetDeviceInterfaceDetailW checks cbSize against the size of the
// structure's fixed part: 6 in the packed 32-bit layout, 8 on 64-bit.
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == (sizeof(void*) == 8 ? 8 : 6));

// GUID_DEVINTERFACE_USB_HOST_CONTROLLER, spelled out so that no translation
// unit has to instantiate the header's GUID definitions.
constexpr GUID kUsbHostControllerGuid = {
    0x3ABF6F2D, 0x71C4, 0x462A, {0x8A, 0x92, 0x1E, 0x68, 0x61, 0xE6, 0xAF, 0x27}};

GUID classGuid(InterfaceClass cls) {
  if (cls == InterfaceClass::UsbHostController) return kUsbHostControllerGuid;
  GUID hid{};
  HidD_GetHidGuid(&hid);
  return hid;
}

// Releases the device information list on every way out.
class DeviceInfoList {
 public:
  explicit DeviceInfoList(HDEVINFO list) : list_(list) {}
  ~DeviceInfoList() {
    if (valid()) SetupDiDestroyDeviceInfoList(list_);
  }
  DeviceInfoList(const DeviceInfoList&) = delete;
  DeviceInfoList& operator=(const DeviceInfoList&) = delete;

  bool valid() const { return list_ != INVALID_HANDLE_VALUE; }
  HDEVINFO get() const { return list_; }

 private:
  HDEVINFO list_;
};

// The DevicePath of one enumerated interface: the detail is first asked for
// its size, then read into a zero-filled buffer of that size.
std::optional<std::u16string> devicePath(HDEVINFO list, SP_DEVICE_INTERFACE_DATA& data) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailW(list, &data, nullptr, 0, &required, nullptr);
  constexpr std::size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
  if (required <= kPathOffset) return std::nullopt;

  // DWORD elements keep the structure's alignment.
  std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!SetupDiGetDeviceInterfaceDetailW(list, &data, detail, required, nullptr, nullptr)) {
    return std::nullopt;
  }
  const std::size_t maxUnits = (required - kPathOffset) / sizeof(WCHAR);
  const std::size_t length = wcsnlen(detail->DevicePath, maxUnits);
  return std::u16string(detail->DevicePath, detail->DevicePath + length);
}

}  // namespace

std::optional<std::vector<std::optional<std::u16string>>> listInterfaces(InterfaceClass cls) {
  const GUID guid = classGuid(cls);
  const DeviceInfoList list(
      SetupDiGetClassDevsW(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!list.valid()) return std::nullopt;
  std::vector<std::optional<std::u16string>> paths;
  // The list ends where enumeration fails, at its end or on any error.
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof(data);
    if (!SetupDiEnumDeviceInterfaces(list.get(), nullptr, &guid, index, &data)) break;
    paths.push_back(devicePath(list.get(), data));
  }
  return paths;
}

}  // namespace korvex::win32
