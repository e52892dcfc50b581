#include "sim_commands.h"

#include <map>
#include <optional>
#include <variant>

#include "korvex/common/utf16.h"
#include "korvex/platform/sim/host_system.h"
#include "korvex/platform/sim/sim_platform.h"
#include "library_text.h"
#include "number_text.h"
#include "unplugged_devices.h"

namespace korvexctl {

namespace {

using korvex::sim::Device;
using korvex::sim::Port;
using Args = std::vector<std::string>;

struct SimRequest {
  std::string action;
  std::string serial;
  std::optional<std::uint16_t> vid;
  std::optional<std::uint16_t> pid;
};

std::string describe(const Device& d) {
  std::string text = hex4(d.vendorId) + " " + hex4(d.productId);
  if (!d.product.empty()) text += " " + korvex::toUtf8(d.product);
  return text;
}

nlohmann::json deviceJson(const Device& d) {
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

Outcome hang(Port& port, const SimRequest&) {
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

Outcome swap(Port& port, const SimRequest& r) {
  Device* d = port.device ? &*port.device : port.unpowered ? &*port.unpowered : nullptr;
  if (d == nullptr) return {"nothing is plugged into the downstream port", {}, {}};
  const std::string before = describe(*d);
  if (r.vid) d->vendorId = *r.vid;
  if (r.pid) d->productId = *r.pid;
  return {{}, before + " swapped for " + describe(*d), *d};
}

Outcome unplug(Port& port, const SimRequest& r, const UnpluggedDevices& store) {
  std::optional<Device>& slot = port.device ? port.device : port.unpowered;
  if (!slot) return {"nothing is plugged into the downstream port", {}, {}};
  Outcome out{{}, describe(*slot) + " unplugged (kept for sim plug)", slot};
  store.keep(r.serial, slot);
  port.device.reset();
  port.unpowered.reset();
  return out;
}

Outcome plug(Port& port, const SimRequest& r, bool powered, const UnpluggedDevices& store) {
  if (port.device || port.unpowered) {
    return {"the downstream port is not empty; unplug its device first", {}, {}};
  }
  std::optional<Device> device;
  if (r.vid || r.pid) {
    device.emplace();
    device->vendorId = r.vid.value_or(0);
    device->productId = r.pid.value_or(0);
  } else {
    device = store.find(r.serial);
    if (!device) {
      return {"nothing was unplugged from this hub; give --vid and --pid to plug in a new device",
              {},
              {}};
    }
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
  store.keep(r.serial, std::nullopt);
  return {
      {},
      describe(*device) +
          (powered ? " plugged in" : " plugged in (the hub's power is off: it waits unpowered)"),
      device};
}

std::variant<SimRequest, Result> parse(const Args& args) {
  static const std::map<std::string, bool> kTakesIds{
      {"unplug", false}, {"plug", true}, {"hang", false}, {"swap", true}};
  if (args.empty()) return badArgument("sim needs unplug, plug, hang or swap");
  const auto action = kTakesIds.find(args[0]);
  if (action == kTakesIds.end()) return badArgument("unknown subcommand sim " + args[0]);
  if (args.size() < 2) return badArgument("sim " + args[0] + " needs a controller serial");
  SimRequest r{args[0], args[1], {}, {}};
  for (std::size_t i = 2; i < args.size(); i += 2) {
    const bool vid = args[i] == "--vid";
    if (!action->second || (!vid && args[i] != "--pid")) {
      return badArgument("sim " + r.action + " does not take " + args[i]);
    }
    const auto value = i + 1 < args.size() ? parseNumber(args[i + 1], 0xFFFF) : std::nullopt;
    if (!value) return badArgument(args[i] + " takes a number from 0 to 0xFFFF");
    (vid ? r.vid : r.pid) = static_cast<std::uint16_t>(*value);
  }
  if (r.action == "swap" && !r.vid && !r.pid) return badArgument("sim swap needs --vid or --pid");
  return r;
}

}  // namespace

Result runSim(const Args& args) {
  auto parsed = parse(args);
  if (auto* error = std::get_if<Result>(&parsed)) return *error;
  const SimRequest& r = std::get<SimRequest>(parsed);
  // The world file the library is bound to (--world sets KORVEX_SIM_WORLD).
  const auto file = korvex::sim::systemWorldFile();
  if (!file) return badArgument("sim needs the world file: --world FILE");

  std::unique_ptr<korvex::sim::SimPlatform> world;
  try {
    world = korvex::sim::SimPlatform::fromFile(*file);
  } catch (const std::exception& e) {
    return fail(kFailed, "world-file", e.what());
  }
  const std::u16string serial = korvex::fromUtf8(r.serial);
  if (!world->downstreamPort(serial)) {
    if (world->controller(serial)) {
      return fail(kFailed, "no-hub", "controller " + r.serial + " sits on no hub");
    }
    return fail(kNoSuchController, "no-such-controller",
                "the world has no controller with serial " + r.serial);
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
      if (r.action == "hang") outcome = hang(port, r);
      if (r.action == "swap") outcome = swap(port, r);
      if (r.action == "unplug") outcome = unplug(port, r, store);
      if (r.action == "plug") outcome = plug(port, r, site->firmware->state.power, store);
    });
  } catch (const std::exception& e) {
    return fail(kFailed, "unplugged-file", e.what());
  }
  if (outcome.error) {
    return fail(kFailed, "port-state", r.serial + ": " + *outcome.error);
  }
  if (const auto error = world->fileError()) return fail(kFailed, "world-file", *error);
  nlohmann::json json{{"serial", r.serial}, {"action", r.action}};
  if (outcome.device) json["device"] = deviceJson(*outcome.device);
  return done(json, r.serial + ": " + outcome.text);
}

}  // namespace korvexctl
