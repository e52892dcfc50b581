// The system's lists of device interfaces (SetupAPI).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvex::win32 {

enum class InterfaceClass {
  Hid,                // the class HidD_GetHidGuid names
  UsbHostController,  // GUID_DEVINTERFACE_USB_HOST_CONTROLLER
};

// The DevicePath of every present interface of the class, in the system's
// order; an entry is nullopt when that interface's detail could not be
// read. nullopt when the list itself cannot be had.
std::optional<std::vector<std::optional<std::u16string>>> listInterfaces(InterfaceClass cls);

}  // namespace korvex::win32
