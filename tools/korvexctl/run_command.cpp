#include "run_command.h"

#include "hub_library.h"

#include <cstdio>
#include <functional>
#include <map>

#include "client/number_text.h"
#include "cycle_command.h"
#include "fram_text.h"
#include "hub_scan.h"
#include "korvex/common/utf16.h"
#include "library_failure.h"
#include "library_text.h"
#include "local_clock.h"
#include "recovery_commands.h"
#include "text_table.h"
#ifdef KORVEXCTL_SIMULATED
#include "sim_commands.h"
#endif

namespace korvexctl {

namespace {

// A controller command: nullopt when it succeeded, else its failure as
// the library gives its reason.
struct Call {
  const std::string& serial;
  unsigned replyTimeoutMs = 5000;

  template <typename F>
  std::optional<Result> run(F&& f) const {
    if (f() != 0) return std::nullopt;
    return controllerFailure(library().Hub_GetLastError(), serial, replyTimeoutMs);
  }
};

using Args = std::vector<std::string>;

Result status(const std::string& serial, const Args&) {
  const KString s = toLibraryString(serial);
  std::uint8_t power = 0;
  if (auto err = Call{serial}.run([&] { return library().Hub_GetStatus(s.c_str(), &power); }))
    return *err;
  return done({{"serial", serial}, {"power", power ? "on" : "off"}}, power ? "ON" : "OFF");
}

Result power(const std::string& serial, const Args& args) {
  if (args.size() != 1 || (args[0] != "on" && args[0] != "off")) {
    return badArgument("power takes on or off");
  }
  const unsigned value = args[0] == "on" ? 1 : 0;
  const KString s = toLibraryString(serial);
  if (auto err = Call{serial}.run([&] { return library().Hub_SetStatus(s.c_str(), value); }))
    return *err;
  return done({{"serial", serial}, {"power", args[0]}}, "power " + args[0]);
}

Result reset(const std::string& serial, const Args& args) {
  if (args.size() > 1) return badArgument("reset takes at most one value");
  const auto value =
      args.empty() ? std::optional<unsigned>(0) : korvex::client::parseNumber(args[0], 255);
  if (!value) return badArgument("reset value must be a number from 0 to 255");
  const KString s = toLibraryString(serial);
  const Call call{serial, 1000};
  if (auto err = call.run([&] { return library().Hub_SetReset(s.c_str(), *value); })) return *err;
  return done({{"serial", serial}, {"value", *value}}, "reset sent");
}

Result fault(const std::string& serial, const Args&) {
  const KString s = toLibraryString(serial);
  std::uint8_t byte = 0;
  if (auto err = Call{serial}.run([&] { return library().Hub_GetFault(s.c_str(), &byte); }))
    return *err;
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", byte);
  return done({{"serial", serial}, {"fault", byte}}, text);
}

Result picwrite(const std::string& serial, const Args&) {
  const KString s = toLibraryString(serial);
  if (auto err = Call{serial}.run([&] { return library().Hub_SetPICWrite(s.c_str()); }))
    return *err;
  return done({{"serial", serial}}, "write request sent");
}

Result usbSerial(const std::string& serial, const Args& args) {
  std::array<std::uint8_t, 8> data{};
  std::string shown;
  if (args.size() == 2 && args[0] == "--bytes") {
    const auto bytes = parseHex(args[1]);
    if (!bytes || bytes->size() != 8) return badArgument("--bytes takes 8 bytes in hex");
    std::copy(bytes->begin(), bytes->end(), data.begin());
    shown = toHex(*bytes);
  } else if (args.size() == 1) {
    const auto number = korvex::client::parseNumber(args[0], 255);
    if (!number) return badArgument("the serial number must be a number from 0 to 255");
    data[7] = static_cast<std::uint8_t>(*number);
    char text[16];
    std::snprintf(text, sizeof text, "0000000%X", *number);
    shown = text;
  } else {
    return badArgument("serial takes a NUMBER or --bytes HEX");
  }
  const KString s = toLibraryString(serial);
  if (auto err =
          Call{serial}.run([&] { return library().Hub_WriteUSBSerial(s.c_str(), data.data()); })) {
    return *err;
  }
  return done({{"serial", serial}, {"written", shown}}, "serial written: " + shown);
}

Result rtcGet(const std::string& serial, const Args& args) {
  if (!args.empty()) return badArgument("rtc get takes no arguments");
  const KString s = toLibraryString(serial);
  korvex::client::ClockRecord record{};
  if (auto err = Call{serial}.run([&] { return library().Hub_GetRTC(s.c_str(), record.data()); })) {
    return *err;
  }
  const std::string text = korvex::toUtf8(korvex::client::clockText(record));
  return done(
      {{"serial", serial}, {"time", text}, {"bytes", toHex({record.begin(), record.end()})}}, text);
}

Result rtcSet(const std::string& serial, const Args& args) {
  if (args.size() > 1) return badArgument("rtc set takes at most one time");
  std::optional<korvex::client::LocalClock> time = args.empty() ? localNow() : parseClock(args[0]);
  if (!time) return badArgument("time must be \"YYYY-MM-DD HH:MM:SS\" with a year 2000..2099");
  const korvex::client::ClockRecord record = korvex::client::clockRecordFromLocal(*time);
  const KString s = toLibraryString(serial);
  if (auto err = Call{serial}.run([&] { return library().Hub_SetRTC(s.c_str(), record.data()); })) {
    return *err;
  }
  const std::string text = korvex::toUtf8(korvex::client::clockText(record));
  return done({{"serial", serial}, {"time", text}}, "clock set to " + text);
}

struct FramOptions {
  bool hex = false;
  unsigned address = 0;
  std::optional<unsigned> count;
  std::vector<std::string> rest;
};

std::optional<FramOptions> parseFramOptions(const Args& args, std::string& error) {
  FramOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--hex") {
      o.hex = true;
    } else if (args[i] == "--address" || args[i] == "--count") {
      const auto v =
          i + 1 < args.size() ? korvex::client::parseNumber(args[i + 1], 255) : std::nullopt;
      if (!v) {
        error = args[i] + " takes a number from 0 to 255";
        return std::nullopt;
      }
      (args[i] == "--address" ? o.address : o.count.emplace()) = *v;
      ++i;
    } else {
      o.rest.push_back(args[i]);
    }
  }
  if (o.address + o.count.value_or(0) > 255) {
    error = "address + count may not exceed 255";
    return std::nullopt;
  }
  return o;
}

Result framRead(const std::string& serial, const Args& args) {
  std::string error;
  const auto o = parseFramOptions(args, error);
  if (!o) return badArgument(error);
  if (!o->rest.empty()) return badArgument("fram read takes no data");
  const unsigned count = o->count.value_or(255 - o->address);
  std::vector<std::uint8_t> bytes(count);
  const KString s = toLibraryString(serial);
  if (auto err = Call{serial}.run(
          [&] { return library().Hub_ReadFram(s.c_str(), o->address, count, bytes.data()); })) {
    return *err;
  }
  const std::string hex = toHex(bytes);
  const std::string text = korvex::toUtf8(korvex::client::framTextFromBytes(bytes));
  nlohmann::json json{{"serial", serial}, {"address", o->address}, {"hex", hex}};
  if (!o->hex) json["text"] = text;
  return done(json, o->hex ? hex : text);
}

Result framWrite(const std::string& serial, const Args& args) {
  std::string error;
  const auto o = parseFramOptions(args, error);
  if (!o) return badArgument(error);
  if (o->rest.size() != 1 || o->count) return badArgument("fram write takes one DATA argument");
  std::optional<std::vector<std::uint8_t>> bytes;
  if (o->hex) {
    bytes = parseHex(o->rest[0]);
    if (!bytes) return badArgument("DATA is not hex byte pairs");
  } else {
    bytes = framBytesFromText(korvex::fromUtf8(o->rest[0]), 255 - o->address);
    if (!bytes) return badArgument("the text does not fit into the FRAM from that address");
  }
  if (o->address + bytes->size() > 255) return badArgument("address + count may not exceed 255");
  const KString s = toLibraryString(serial);
  const auto count = static_cast<unsigned>(bytes->size());
  if (auto err = Call{serial}.run(
          [&] { return library().Hub_WriteFram(s.c_str(), o->address, count, bytes->data()); })) {
    return *err;
  }
  return done({{"serial", serial}, {"address", o->address}, {"count", count}},
              std::to_string(count) + " bytes written");
}

// The hubs in discovery order, as the program's main list shows them.
Result listHubs(const Args& args) {
  if (!args.empty()) return badArgument("list takes no arguments besides --watch N");
  nlohmann::json hubs = nlohmann::json::array();
  std::vector<TableRow> table{
      {"No", "PIC Serial", "HUB Power", "Device Status", "VID", "PID", "Product Name"}};
  const auto rows = scanHubRows();
  for (const auto& hub : rows) {
    const int number = static_cast<int>(table.size());
    nlohmann::json json = hub.json();
    json["no"] = number;
    hubs.push_back(std::move(json));
    table.push_back({std::to_string(number), hub.serial, hub.power, hub.deviceStatus, hub.vid,
                     hub.pid, hub.product});
  }
  std::string text = formatTable(table);
  if (table.size() == 1) text += "\n(no hub carrying the controller found)";
  nlohmann::json json{{"hubs", hubs}};
  // A controller that cannot be opened shows as a hub that is off; say so.
  for (const auto& note : unreachableControllerNotes(rows)) {
    text += "\nnote: " + note;
    json["notes"].push_back(note);
  }
  return done(json, text);
}

using Handler = std::function<Result(const std::string& serial, const Args& rest)>;

}  // namespace

Result runCommand(const Invocation& inv) {
  static const std::map<std::string, Handler> kSimple{
      {"status", status},     {"power", power},      {"reset", reset},   {"fault", fault},
      {"picwrite", picwrite}, {"serial", usbSerial}, {"cycle", runCycle}};
  static const std::map<std::string, std::map<std::string, Handler>> kGrouped{
      {"rtc", {{"get", rtcGet}, {"set", rtcSet}}},
      {"fram", {{"read", framRead}, {"write", framWrite}}}};

  if (inv.command == "list") return listHubs(inv.args);
  if (inv.command == "recovery") return runRecovery(inv.args);
  if (inv.command == "sim") {
#ifdef KORVEXCTL_SIMULATED
    return runSim(inv.args);
#else
    return badArgument("sim works only in a build over the simulated world");
#endif
  }
  Args args = inv.args;
  Handler handler;
  if (const auto it = kSimple.find(inv.command); it != kSimple.end()) {
    handler = it->second;
  } else if (const auto group = kGrouped.find(inv.command); group != kGrouped.end()) {
    if (args.empty()) return badArgument(inv.command + " needs a subcommand");
    const auto sub = group->second.find(args.front());
    if (sub == group->second.end()) {
      return badArgument("unknown subcommand " + inv.command + " " + args.front());
    }
    handler = sub->second;
    args.erase(args.begin());
  } else {
    return badArgument("unknown command " + inv.command);
  }
  if (args.empty()) return badArgument("no controller serial given");
  const std::string serial = args.front();
  args.erase(args.begin());
  return handler(serial, args);
}

}  // namespace korvexctl
