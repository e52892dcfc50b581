#include "unplugged_devices.h"

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

#include "korvex/platform/sim/world_json.h"

namespace korvexctl {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;
using korvex::sim::Device;

// The format's reader and writer work on whole worlds: the device travels
// as the only device of a one-port root hub.
Json deviceToJson(const Device& device) {
  korvex::sim::World world;
  korvex::sim::HostController& hc = world.hostControllers.emplace_back();
  hc.rootHub.ports.emplace_back().device = device;
  return Json::parse(
      korvex::sim::worldToJson(world))["hostControllers"][0]["rootHub"]["ports"][0]["device"];
}

Device deviceFromJson(const Json& device) {
  const Json world{{"hostControllers", {{{"rootHub", {{"ports", {{{"device", device}}}}}}}}}};
  auto parsed = korvex::sim::worldFromJson(world.dump());
  return *parsed.hostControllers.at(0).rootHub.ports.at(0).device;
}

Json readAll(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return Json::object();
  std::ifstream in(file);
  Json all = Json::parse(in, nullptr, false);
  if (!all.is_object()) throw std::runtime_error(file.string() + " is not a JSON object");
  return all;
}

}  // namespace

UnpluggedDevices::UnpluggedDevices(const fs::path& worldFile)
    : file_(worldFile.parent_path() / (worldFile.stem().string() + ".unplugged.json")) {}

std::optional<Device> UnpluggedDevices::find(const std::string& serial) const {
  const Json all = readAll(file_);
  const auto it = all.find(serial);
  if (it == all.end()) return std::nullopt;
  return deviceFromJson(*it);
}

void UnpluggedDevices::keep(const std::string& serial, const std::optional<Device>& device) const {
  Json all = readAll(file_);
  if (device) {
    all[serial] = deviceToJson(*device);
  } else {
    all.erase(serial);
  }
  std::error_code ec;
  if (all.empty()) {
    fs::remove(file_, ec);
    return;
  }
  const fs::path temporary = file_.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << all.dump(2) << '\n';
    if (!out.flush()) throw std::runtime_error("cannot write " + temporary.string());
  }
  fs::rename(temporary, file_, ec);
  if (ec) throw std::runtime_error("cannot write " + file_.string() + ": " + ec.message());
}

}  // namespace korvexctl
