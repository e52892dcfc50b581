// The hubs carrying the controller, from a fresh scan through the exports.
#pragma once

#include <korvex.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace korvexctl {

// Hub_GetDeviceInfo, then Hub_GetNextDeviceInfo until it returns 0: the
// hubs in the library's table order. A scan that saw hubs but could record
// none still returns 1; its entry 0 counts only when the index lookup finds
// it.
std::vector<HubDeviceInfo> scanHubs();

// One hub as a row of the program's main list shows it, in UTF-8, without
// the row's number.
struct HubRow {
  std::string serial, power, deviceStatus, vid, pid, product;
  bool operator==(const HubRow&) const = default;

  // "serial", "power", "deviceStatus", "vid", "pid" and "product".
  nlohmann::json json() const;
};

// scanHubs(), each hub as its row.
std::vector<HubRow> scanHubRows();

// For each row showing the power off, whether its controller can be
// opened at all (a scan shows one it cannot reach as off): a note for each
// that cannot.
std::vector<std::string> unreachableControllerNotes(const std::vector<HubRow>& rows);

}  // namespace korvexctl
