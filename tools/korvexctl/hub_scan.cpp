#include "hub_scan.h"

#include "client/hub_row_text.h"
#include "hub_library.h"
#include "korvex/common/utf16.h"

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

}  // namespace korvexctl
