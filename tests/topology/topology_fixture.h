// The device queries over a simulated USB tree, with the controller
// commands reading each hub's status.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "hub_device_info_view.h"
#include "korvex/controller/controller_commands.h"
#include "korvex/topology/device_queries.h"
#include "test_worlds.h"

namespace korvex::topology {

struct Topology {
  explicit Topology(const std::string& worldName)
      : world(testing::loadWorld(worldName)),
        commands(*world, *world, locks),
        queries(
            *world,
            [this](auto serials, auto statuses) { commands.getStatuses(serials, statuses); },
            lock) {}

  // Every entry as the program lists them: Hub_GetDeviceInfo, then
  // Hub_GetNextDeviceInfo until it returns 0. Empty when the first fails.
  std::vector<HubDeviceInfo> list() {
    std::vector<HubDeviceInfo> rows;
    HubDeviceInfo info{};
    if (!queries.getDeviceInfo(&info)) return rows;
    HubDeviceInfo first{};
    if (queries.getDeviceInfoIndex(&first, 0)) rows.push_back(info);  // found, but none recorded
    while (queries.getNextDeviceInfo(&info)) rows.push_back(info);
    return rows;
  }

  std::vector<std::string> serials() {
    std::vector<std::string> out;
    for (const auto& row : list()) out.push_back(hub_info::serialOf(row));
    return out;
  }

  std::unique_ptr<sim::Simulator> world;
  controller::ControllerLocks locks;
  controller::ControllerCommands commands;
  std::mutex lock;
  DeviceQueries queries;
};

}  // namespace korvex::topology
