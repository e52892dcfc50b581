#include "simulated_world.h"

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <system_error>

#include "korvex/common/executable_folder.h"
#include "korvex/common/utf16.h"
#include "library_text.h"
#include "simulator/simulator.h"
#include "simulator/world.h"
#include "unplugged_devices.h"

namespace korvexctl {

namespace {

namespace fs = std::filesystem;
using korvex::sim::Device;
using korvex::sim::Port;
using Json = nlohmann::json;

// korvexctl's own folder; the current folder when it cannot be found.
fs::path executableFolder() {
  const fs::path folder = korvex::executableFolder();
  std::error_code ec;
  return folder.empty() ? fs::current_path(ec) : folder;
}

// The unplugged-device store keeps a device in the world file's format. The
// format's reader and writer work on whole worlds: the device travels as
// the only device of a one-port root hub.
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

std::string describe(const Device& d) {
  std::string text = hex4(d.vendorId) + " " + hex4(d.productId);
  if (!d.product.empty()) text += " " + korvex::toUtf8(d.product);
  return text;
}

Json describeJson(const Device& d) {
  return {{"vid", hex4(d.vendorId)},
          {"pid", hex4(d.productId)},
          {"product", korvex::toUtf8(d.product)},
          {"currentConfigurationValue", d.currentConfigurationValue}};
}

// What one action does to the port; the error text when it cannot.
struct Outcome {
  std::optional<std::string> error;
  std::string text;
  std::optional<Device> device;  // the device concerned
};

Outcome hang(Port& port) {
  if (!port.device) {
    return {
        "no device is present on the downstream port (nothing plugged in, or the hub's "
        "power is off)",
        {},
        {}};
  }
  port.device->currentConfigurationValue = 0;
  return {{}, describe(*port.device) + " hangs unconfigured", port.device};
}

Outcome swap(Port& port, const SimChange& c) {
  Device* d = port.device ? &*port.device : port.unpowered ? &*port.unpowered : nullptr;
  if (d == nullptr) return {"nothing is plugged into the downstream port", {}, {}};
  const std::string before = describe(*d);
  if (c.vid) d->vendorId = *c.vid;
  if (c.pid) d->productId = *c.pid;
  return {{}, before + " swapped for " + describe(*d), *d};
}

Outcome unplug(Port& port, const SimChange& c, const UnpluggedDevices& store) {
  std::optional<Device>& slot = port.device ? port.device : port.unpowered;
  if (!slot) return {"nothing is plugged into the downstream port", {}, {}};
  Outcome out{{}, describe(*slot) + " unplugged (kept for sim plug)", slot};
  store.keep(c.serial, deviceToJson(*slot));
  port.device.reset();
  port.unpowered.reset();
  return out;
}

Outcome plug(Port& port, const SimChange& c, bool powered, const UnpluggedDevices& store) {
  if (port.device || port.unpowered) {
    return {"the downstream port is not empty; unplug its device first", {}, {}};
  }
  std::optional<Device> device;
  if (c.vid || c.pid) {
    device.emplace();
    device->vendorId = c.vid.value_or(0);
    device->productId = c.pid.value_or(0);
  } else if (const auto kept = store.find(c.serial)) {
    device = deviceFromJson(*kept);
  } else {
    return {"nothing was unplugged from this hub; give --vid and --pid to plug in a new device",
            {},
            {}};
  }
  // A device plugged in enumerates afresh; while the hub's power is off it
  // waits, unpowered, for the power to return.
  if (powered) {
    if (device->currentConfigurationValue == 0) device->currentConfigurationValue = 1;
    device->connectionStatus = 1;
    port.device = device;
  } else {
    port.unpowered = device;
  }
  store.keep(c.serial, std::nullopt);
  return {
      {},
      describe(*device) +
          (powered ? " plugged in" : " plugged in (the hub's power is off: it waits unpowered)"),
      device};
}

}  // namespace

namespace {
bool worldGiven = false;
}  // namespace

bool bindWorldFile(const std::string& file) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(file, ec);
  worldGiven = !ec && setenv("KORVEX_SIM_WORLD", absolute.c_str(), 1) == 0;
  return worldGiven;
}

bool runsOverWorld() {
  return worldGiven;
}

std::optional<fs::path> boundWorldFile() {
  return korvex::sim::systemWorldFile();
}

fs::path libraryFilesFolder() {
  const auto world = boundWorldFile();
  if (!world) return executableFolder();
  try {
    return korvex::sim::Simulator::fromFile(*world)->libraryFolder();
  } catch (const std::exception&) {
    // A world the library cannot read either: it keeps its files beside it.
    std::error_code ec;
    const fs::path absolute = fs::absolute(*world, ec);
    return (ec ? *world : absolute).parent_path();
  }
}

Result applySimChange(const SimChange& c) {
  const auto file = boundWorldFile();
  if (!file) return badArgument("sim needs the world file: --world FILE");

  std::unique_ptr<korvex::sim::Simulator> world;
  try {
    world = korvex::sim::Simulator::fromFile(*file);
  } catch (const std::exception& e) {
    return fail(kFailed, "world-file", e.what());
  }
  const std::u16string serial = korvex::fromUtf8(c.serial);
  if (!world->downstreamPort(serial)) {
    if (world->controller(serial)) {
      return fail(kFailed, "no-hub", "controller " + c.serial + " sits on no hub");
    }
    return fail(kNoSuchController, "no-such-controller",
                "the world has no controller with serial " + c.serial);
  }

  const UnpluggedDevices store(*file);
  Outcome outcome;
  try {
    world->changeWorld([&](korvex::sim::World& w) {
      const auto site = korvex::sim::findController(w, serial);
      if (!site || site->downstream == nullptr) {
        outcome.error = "the controller has gone from the world";
        return;
      }
      Port& port = *site->downstream;
      if (c.action == "hang") outcome = hang(port);
      if (c.action == "swap") outcome = swap(port, c);
      if (c.action == "unplug") outcome = unplug(port, c, store);
      if (c.action == "plug") outcome = plug(port, c, site->firmware->state.power, store);
    });
  } catch (const std::exception& e) {
    return fail(kFailed, "unplugged-file", e.what());
  }
  if (outcome.error) return fail(kFailed, "port-state", c.serial + ": " + *outcome.error);
  if (const auto error = world->fileError()) return fail(kFailed, "world-file", *error);
  Json json{{"serial", c.serial}, {"action", c.action}};
  if (outcome.device) json["device"] = describeJson(*outcome.device);
  return done(json, c.serial + ": " + outcome.text);
}

}  // namespace korvexctl
