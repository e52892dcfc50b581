// Reading a HubDeviceInfo record the way the tests compare it. Header-only,
// so that the programs testing the built library through its exports can
// use it without the test support library.
#pragma once

#include <korvex.h>

#include <algorithm>
#include <string>

#include "korvex/common/utf16.h"

namespace korvex::hub_info {

// The controller's serial, in UTF-8.
inline std::string serialOf(const HubDeviceInfo& info) {
  return toUtf8(reinterpret_cast<const char16_t*>(info.controllerSerial));
}

// Whether every byte of the record is zero, as a query leaves it when it
// finds nothing.
inline bool allZero(const HubDeviceInfo& info) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
  return std::all_of(bytes, bytes + sizeof info, [](unsigned char b) { return b == 0; });
}

}  // namespace korvex::hub_info
