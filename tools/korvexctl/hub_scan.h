// The hubs carrying the controller, from a fresh scan through the exports.
#pragma once

#include <korvex.h>

#include <vector>

namespace korvexctl {

// Hub_GetDeviceInfo, then Hub_GetNextDeviceInfo until it returns 0: the
// hubs in the library's table order. A scan that saw hubs but could record
// none still returns 1; its entry 0 counts only when the index lookup finds
// it.
std::vector<HubDeviceInfo> scanHubs();

}  // namespace korvexctl
