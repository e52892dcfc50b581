#include "library_text.h"

#include <algorithm>
#include <cstdio>

namespace korvexctl {

std::optional<HubDeviceInfo> recordForSerial(const std::string& serial) {
  const KString units = toLibraryString(serial);
  HubDeviceInfo info{};
  if (units.size() >= KORVEX_STRING_UNITS) return std::nullopt;
  std::copy(units.begin(), units.end(), info.controllerSerial);
  return info;
}

std::string hex4(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

}  // namespace korvexctl
