// A library's topology and controller parts over a simulated USB tree.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "hub_device_info_view.h"
#include "korvex/common/utf16.h"
#include "korvex/topology/device_queries.h"
#include "sim_world_builder.h"
#include "usb_tree_builder.h"

namespace korvex::topology {

struct Topology {
  explicit Topology(const std::string& json)
      : world(testing::makeWorld(json)), commands(*world, locks), queries(*world, commands, lock) {}

  // Every entry as the program lists them: Hub_GetDeviceInfo, then
  // Hub_GetNextDeviceInfo until it returns 0. Empty when the first fails.
  std::vector<HubDeviceInfo> list() {
    std::vector<HubDeviceInfo> rows;
    HubDeviceInfo info{};
    if (!queries.getDeviceInfo(&info)) return rows;
    HubDeviceInfo probe{};
    if (queries.getDeviceInfoIndex(&probe, 0)) rows.push_back(info);
    while (queries.getNextDeviceInfo(&info)) rows.push_back(info);
    return rows;
  }

  std::vector<std::string> serials() {
    std::vector<std::string> out;
    for (const auto& row : list()) out.push_back(serialOf(row));
    return out;
  }

  static std::string serialOf(const HubDeviceInfo& info) { return hub_info::serialOf(info); }
  static std::string productOf(const HubDeviceInfo& info) {
    return toUtf8(reinterpret_cast<const char16_t*>(info.product));
  }
  static std::string deviceSerialOf(const HubDeviceInfo& info) {
    return toUtf8(reinterpret_cast<const char16_t*>(info.serial));
  }

  std::unique_ptr<sim::SimPlatform> world;
  controller::ControllerLocks locks;
  controller::ControllerCommands commands;
  std::mutex lock;
  DeviceQueries queries;
};

using hub_info::allZero;

}  // namespace korvex::topology
