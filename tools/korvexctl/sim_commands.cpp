#include "sim_commands.h"

#include <map>
#include <optional>
#include <variant>

#include "client/number_text.h"
#include "simulated_world.h"

namespace korvexctl {

namespace {

using Args = std::vector<std::string>;

std::variant<SimChange, Result> parse(const Args& args) {
  static const std::map<std::string, bool> kTakesIds{
      {"unplug", false}, {"plug", true}, {"hang", false}, {"swap", true}};
  if (args.empty()) return badArgument("sim needs unplug, plug, hang or swap");
  const auto action = kTakesIds.find(args[0]);
  if (action == kTakesIds.end()) return badArgument("unknown subcommand sim " + args[0]);
  if (args.size() < 2) return badArgument("sim " + args[0] + " needs a controller serial");
  SimChange r{args[0], args[1], {}, {}};
  for (std::size_t i = 2; i < args.size(); i += 2) {
    const bool vid = args[i] == "--vid";
    if (!action->second || (!vid && args[i] != "--pid")) {
      return badArgument("sim " + r.action + " does not take " + args[i]);
    }
    const auto value =
        i + 1 < args.size() ? korvex::client::parseNumber(args[i + 1], 0xFFFF) : std::nullopt;
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
  return applySimChange(std::get<SimChange>(parsed));
}

}  // namespace korvexctl
