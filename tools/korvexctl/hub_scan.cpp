#include "hub_scan.h"

#include "client/hub_row_text.h"
#include "hub_library.h"
#include "korvex/common/utf16.h"
#include "library_failure.h"
#include "library_text.h"

namespace korvexctl {

std::vector<HubDeviceInfo> scanHubs() {
  std::vector<HubDeviceInfo> hubs;
  HubDeviceInfo info{};
  if (library().Hub_GetDeviceInfo(&info) == 0) return hubs;
  HubDeviceInfo probe{};
  if (library().Hub_GetDeviceInfoIndex(&probe, 0) != 0) hubs.push_back(info);
  while (library().Hub_GetNextDeviceInfo(&info) != 0) hubs.push_back(info);
  return hubs;
}

nlohmann::json HubRow::json() const {
  return {{"serial", serial}, {"power", power}, {"deviceStatus", deviceStatus},
          {"vid", vid},       {"pid", pid},     {"product", product}};
}

std::vector<HubRow> scanHubRows() {
  std::vector<HubRow> rows;
  for (const auto& info : scanHubs()) {
    const auto r = korvex::client::hubRowText(static_cast<int>(rows.size()) + 1, info);
    rows.push_back({korvex::toUtf8(r.serial), korvex::toUtf8(r.power),
                    korvex::toUtf8(r.deviceStatus), korvex::toUtf8(r.vid), korvex::toUtf8(r.pid),
                    korvex::toUtf8(r.product)});
  }
  return rows;
}

std::vector<std::string> unreachableControllerNotes(const std::vector<HubRow>& rows) {
  std::vector<std::string> notes;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const HubRow& row = rows[i];
    if (row.power != "OFF") continue;
    const KString serial = toLibraryString(row.serial);
    std::uint8_t power = 0;
    if (library().Hub_GetStatus(serial.c_str(), &power) != 0 ||
        library().Hub_GetLastError() != KORVEX_ERROR_DEVICE_ERROR) {
      continue;
    }
    notes.push_back("hub " + std::to_string(i + 1) +
                    ": power unknown, its controller could not be opened" + kAccessHint);
  }
  return notes;
}

}  // namespace korvexctl
