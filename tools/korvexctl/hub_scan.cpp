#include "hub_scan.h"

namespace korvexctl {

std::vector<HubDeviceInfo> scanHubs() {
  std::vector<HubDeviceInfo> hubs;
  HubDeviceInfo info{};
  if (Hub_GetDeviceInfo(&info) == 0) return hubs;
  HubDeviceInfo probe{};
  if (Hub_GetDeviceInfoIndex(&probe, 0) != 0) hubs.push_back(info);
  while (Hub_GetNextDeviceInfo(&info) != 0) hubs.push_back(info);
  return hubs;
}

}  // namespace korvexctl
