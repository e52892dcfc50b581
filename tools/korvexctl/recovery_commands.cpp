#include "recovery_commands.h"

#include "hub_library.h"

#include <map>
#include <optional>

#include "client/number_text.h"
#include "hub_scan.h"
#include "library_failure.h"
#include "library_text.h"
#include "recovery_log.h"
#include "text_table.h"

namespace korvexctl {

namespace {

using Args = std::vector<std::string>;

constexpr std::uint32_t kDeviceConnected = 1;
constexpr std::size_t kListCapacity = 32;

// The list in slot order, as the program's list dialog reads it.
std::vector<HubDeviceInfo> listedHubs() {
  std::vector<HubDeviceInfo> listed;
  HubDeviceInfo info{};
  if (library().Hub_GetAutoCheckDeviceInfo(&info) == 0) return listed;
  do listed.push_back(info);
  while (library().Hub_GetNextAutoCheckDeviceInfo(&info) != 0);
  return listed;
}

bool isListed(const std::string& serial) {
  HubDeviceInfo found{};
  return library().Hub_GetAutoCheckDeviceInfoSerial(&found, toLibraryString(serial).c_str()) != 0;
}

Result list(const Args& args) {
  if (!args.empty()) return badArgument("recovery list takes no arguments");
  std::vector<TableRow> table{{"No", "PIC Serial", "VID", "PID", "Product Name"}};
  nlohmann::json hubs = nlohmann::json::array();
  int number = 0;
  for (const auto& info : listedHubs()) {
    ++number;
    TableRow row{std::to_string(number), fieldText(info.controllerSerial), hex4(info.idVendor),
                 hex4(info.idProduct), fieldText(info.product)};
    hubs.push_back({{"no", number},
                    {"serial", row[1]},
                    {"vid", row[2]},
                    {"pid", row[3]},
                    {"product", row[4]}});
    table.push_back(std::move(row));
  }
  std::string text = formatTable(table);
  if (number == 0) text += "\n(the auto-recovery list is empty)";
  return done({{"hubs", hubs}}, text);
}

Result add(const Args& args) {
  if (args.size() != 1) return badArgument("recovery add takes one controller serial");
  const std::string& serial = args[0];
  if (!recordForSerial(serial)) return badArgument("the serial is longer than 255 characters");
  std::optional<HubDeviceInfo> hub;
  for (const auto& info : scanHubs()) {
    if (fieldText(info.controllerSerial) == serial) {
      hub = info;
      break;
    }
  }
  if (!hub) {
    return fail(kNoSuchController, "no-such-controller",
                "no hub with controller serial " + serial + " was found");
  }
  if (isListed(serial)) {
    return fail(kListRefused, "already-listed", serial + " is already on the auto-recovery list");
  }
  // The device on the port is what the watchdog will expect to find there,
  // so a hub with nothing connected cannot be listed (the program greys the
  // menu item for it too).
  if (hub->ConnectionStatus != kDeviceConnected) {
    return fail(kFailed, "no-device",
                "no device is connected on the downstream port of " + serial +
                    "; plug in the device that should be watched first");
  }
  if (library().Hub_SetAutoCheckDeviceInfo(&*hub) == 0) {
    const int reason = library().Hub_GetLastError();
    if (reason != KORVEX_ERROR_LIST_FULL) return libraryFailure(reason, "could not add " + serial);
    return fail(kFailed, "list-full",
                "the auto-recovery list is full (" + std::to_string(kListCapacity) +
                    " hubs); remove one first");
  }
  const std::string device =
      hex4(hub->idVendor) + " " + hex4(hub->idProduct) + " " + fieldText(hub->product);
  return done({{"serial", serial},
               {"vid", hex4(hub->idVendor)},
               {"pid", hex4(hub->idProduct)},
               {"product", fieldText(hub->product)}},
              "added " + serial + " (" + device + ")");
}

Result remove(const Args& args) {
  if (args.size() != 1) return badArgument("recovery remove takes one controller serial");
  const auto record = recordForSerial(args[0]);
  if (!record) return badArgument("the serial is longer than 255 characters");
  if (library().Hub_DeleteAutoCheckDeviceInfo(&*record) == 0) {
    const int reason = library().Hub_GetLastError();
    if (reason != KORVEX_ERROR_NOT_LISTED)
      return libraryFailure(reason, "could not remove " + args[0]);
    return fail(kListRefused, "not-listed", args[0] + " is not on the auto-recovery list");
  }
  return done({{"serial", args[0]}}, "removed " + args[0]);
}

Result settings(const Args& args) {
  Settings s = currentSettings();
  bool change = false;
  for (std::size_t i = 0; i < args.size(); i += 2) {
    const bool interval = args[i] == "--interval";
    if (!interval && args[i] != "--off-time") return badArgument("unknown option " + args[i]);
    const auto value =
        i + 1 < args.size() ? korvex::client::parseDecimal(args[i + 1], 1, 255) : std::nullopt;
    if (!value) return badArgument(args[i] + " takes a number from 1 to 255");
    (interval ? s.interval : s.offTime) = *value;
    change = true;
  }
  const bool on = library().Hub_GetAutoRecoveryStatus() != 0;
  nlohmann::json json{{"interval", s.interval}, {"offTime", s.offTime}, {"recovery", on}};
  if (!change) return done(json, settingsText(s));
  library().Hub_SetAutoCheckTimeInfo(s.interval, s.offTime);
  std::string text = settingsText(s);
  if (on) {
    // A running watchdog reads the settings only when it starts; the stop
    // and the start also write them to the store file.
    library().Hub_StopAutoRecovery();
    if (library().Hub_StartAutoRecovery() == 0) {
      return fail(kFailed, "restart-failed",
                  "settings stored, but auto recovery could not be started again");
    }
    text += " (auto recovery restarted with them)";
  } else {
    // Only the list and start/stop write the store; the library's unload,
    // when korvexctl ends, writes these settings along with the rest.
    text += " (used from the next start)";
  }
  return done(json, text);
}

Result start(const Args& args) {
  if (!args.empty()) return badArgument("recovery start takes no arguments");
  // Over a store that says "on", the library has started the watchdog at
  // load already: starting again is refused, and nothing is wrong.
  const bool wasOn = library().Hub_GetAutoRecoveryStatus() != 0;
  if (!wasOn && library().Hub_StartAutoRecovery() == 0) {
    return fail(kFailed, "start-failed", "auto recovery could not be started");
  }
  const Settings s = currentSettings();
  return done({{"recovery", true}, {"changed", !wasOn}},
              std::string(wasOn ? "auto recovery was already on" : "auto recovery on") + " (" +
                  settingsText(s) + ")");
}

Result stop(const Args& args) {
  if (!args.empty()) return badArgument("recovery stop takes no arguments");
  const bool stopped = library().Hub_StopAutoRecovery() != 0;
  if (!stopped && library().Hub_GetLastError() != KORVEX_ERROR_NOT_RUNNING) {
    return libraryFailure(library().Hub_GetLastError(), "auto recovery could not be stopped");
  }
  return done({{"recovery", false}, {"changed", stopped}},
              stopped ? "auto recovery off" : "auto recovery was already off");
}

Result status(const Args& args) {
  if (!args.empty()) return badArgument("recovery status takes no arguments");
  const bool on = library().Hub_GetAutoRecoveryStatus() != 0;
  const Settings s = currentSettings();
  const std::size_t listed = listedHubs().size();
  return done(
      {{"recovery", on}, {"interval", s.interval}, {"offTime", s.offTime}, {"listed", listed}},
      std::string("auto recovery ") + (on ? "on" : "off") + ", " + settingsText(s) + ", " +
          std::to_string(listed) + (listed == 1 ? " hub" : " hubs") + " listed");
}

}  // namespace

Settings currentSettings() {
  std::uint8_t interval = 0;
  std::uint8_t offTime = 0;
  library().Hub_GetAutoCheckTimeInfo(&interval, &offTime);
  return {interval, offTime};
}

std::string settingsText(const Settings& s) {
  return "interval " + std::to_string(s.interval) + " s, off time " + std::to_string(s.offTime) +
         (s.offTime == 1 ? " check" : " checks");
}

Result runRecovery(const Args& args) {
  using Handler = Result (*)(const Args&);
  static const std::map<std::string, Handler> kSubcommands{
      {"list", list},   {"add", add},   {"remove", remove}, {"settings", settings},
      {"start", start}, {"stop", stop}, {"status", status}, {"log", showLog}};
  if (args.empty()) return badArgument("recovery needs a subcommand");
  const auto it = kSubcommands.find(args.front());
  if (it == kSubcommands.end()) return badArgument("unknown subcommand recovery " + args.front());
  return it->second(Args(args.begin() + 1, args.end()));
}

}  // namespace korvexctl
