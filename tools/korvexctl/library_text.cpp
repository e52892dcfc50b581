#include "library_text.h"

#include <algorithm>

namespace korvexctl {

std::optional<HubDeviceInfo> recordForSerial(const std::string& serial) {
  const KString units = toLibraryString(serial);
  HubDeviceInfo info{};
  if (units.size() >= KORVEX_STRING_UNITS) return std::nullopt;
  std::copy(units.begin(), units.end(), info.controllerSerial);
  return info;
}

std::string hex4(std::uint16_t value) {
  return korvex::toUtf8(korvex::client::identifierText(value));
}

}  // namespace korvexctl
