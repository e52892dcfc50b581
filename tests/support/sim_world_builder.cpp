#include "sim_world_builder.h"

#include <nlohmann/json.hpp>
#include <set>

namespace korvex::testing {

namespace {

using Json = nlohmann::json;

// Tests write a device's options flat ("silent": true, "capsFails": true,
// "fram": "41"); the world file keeps them in their own objects.
Json hidEntry(Json entry, const std::string& extra, bool controller) {
  static const std::set<std::string> kFirmwareFaults{"silent", "replyDelayMs", "setFeatureFails",
                                                     "silentAfterRequests", "statusReply"};
  static const std::set<std::string> kHidFaults{"detailFails", "openFails", "attributesFails",
                                                "serialFails", "capsFails"};
  const Json options = Json::parse("{" + extra + "}");
  for (const auto& [key, value] : options.items()) {
    if (kFirmwareFaults.count(key)) {
      entry["controller"]["faults"][key] = value;
    } else if (kHidFaults.count(key)) {
      entry["faults"][key] = value;
    } else if (key == "featureReportLength") {
      entry["featureReportByteLength"] = value;
    } else if (controller) {
      entry["controller"][key] = value;
    } else {
      entry[key] = value;
    }
  }
  return entry;
}

}  // namespace

std::string standaloneController(const std::string& serial, const std::string& extra) {
  return hidEntry({{"serial", serial}, {"controller", Json::object()}}, extra, true).dump();
}

std::string otherHidDevice(unsigned vendorId, unsigned productId, const std::string& serial,
                           const std::string& extra) {
  return hidEntry({{"vid", vendorId}, {"pid", productId}, {"serial", serial}}, extra, false).dump();
}

std::string hidWorld(const std::vector<std::string>& devices) {
  std::string list;
  for (const auto& d : devices) list += (list.empty() ? "" : ",\n") + d;
  return R"({"otherHidDevices": [)" + list + "]}";
}

std::unique_ptr<sim::SimPlatform> makeWorld(const std::string& json, std::uint32_t startTick) {
  auto world = sim::SimPlatform::fromJson(json);
  world->useVirtualClock(startTick);
  return world;
}

}  // namespace korvex::testing
