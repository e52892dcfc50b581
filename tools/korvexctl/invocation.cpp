#include "invocation.h"

#include "client/number_text.h"

namespace korvexctl {

const char* const kUsage =
    "usage: korvexctl [--world FILE] [--state-dir DIR] [--json] COMMAND [SERIAL] [ARGS]\n"
    "\n"
    "Commands (SERIAL is the hub controller's serial number string):\n"
    "  list [--watch N]              the hubs carrying the controller, in discovery order;\n"
    "                                --watch repeats the listing every N seconds\n"
    "  status SERIAL                 whether the hub's downstream power is on\n"
    "  power SERIAL on|off           switch the hub's downstream power\n"
    "  reset SERIAL [VALUE]          send the reset request (VALUE 0..255, default 0)\n"
    "  fault SERIAL                  read the controller's fault byte\n"
    "  rtc get SERIAL                read the controller's clock\n"
    "  rtc set SERIAL [TIME]         set the clock from the local time, or from\n"
    "                                TIME as \"YYYY-MM-DD HH:MM:SS\"\n"
    "  fram read SERIAL [--hex] [--address A] [--count N]\n"
    "                                read FRAM; text (UTF-16LE from address 0) by default\n"
    "  fram write SERIAL [--hex] [--address A] DATA\n"
    "                                write FRAM; text fills the 255 bytes from address 0\n"
    "  serial SERIAL NUMBER          write the serial digit NUMBER (0..255, shown as\n"
    "                                0000000%X), or --bytes HEX for all 8 bytes\n"
    "  picwrite SERIAL               send the two-step write request\n"
    "  cycle SERIAL [--off SECONDS]  power off, wait SECONDS (1..3600, default 5), power on\n"
    "\n"
    "Auto recovery (the library's list, its settings and the watchdog):\n"
    "  recovery list                 the listed hubs\n"
    "  recovery add SERIAL           list the hub with the device now on its port\n"
    "  recovery remove SERIAL        take the hub off the list\n"
    "  recovery settings [--interval N] [--off-time N]\n"
    "                                show or set the check interval (seconds) and the\n"
    "                                power-off time (checks), each 1..255\n"
    "  recovery start | stop | status\n"
    "  recovery log                  the events the watchdog logged, oldest first\n"
    "  watch [--seconds N]           keep the watchdog running, printing new log lines\n"
    "                                and hub changes, for N seconds or until Ctrl-C\n"
    "\n"
    "Simulated world only (changes the --world file as a person at the machine would):\n"
    "  sim unplug SERIAL             take the device off the hub's downstream port\n"
    "  sim plug SERIAL [--vid V --pid P]\n"
    "                                put it back, or plug in a new device\n"
    "  sim hang SERIAL               the device stays connected but unconfigured\n"
    "  sim swap SERIAL [--vid V] [--pid P]\n"
    "                                another device in its place\n"
    "\n"
    "Options:\n"
    "  --world FILE   simulated world to run against (builds over the simulator only)\n"
    "  --state-dir DIR\n"
    "                 the folder of korvex.dat and korvex.log (Linux; default\n"
    "                 $XDG_STATE_HOME/korvex, else ~/.local/state/korvex)\n"
    "  --json         print the result as JSON (watch: one object per line)\n"
    "\n"
    "Exit codes: 0 done, 1 command failed, 2 bad argument, 3 no such controller,\n"
    "4 no reply from the controller, 5 already on the auto-recovery list (add) or\n"
    "not on it (remove). cycle: a failed switch-off gives 1, 3 or 4 (the power is\n"
    "untouched), a failed switch-on after it 6 (the hub may be left off).\n"
    "\n"
    "Linux: the hubs are read from sysfs (KORVEX_SYSFS_ROOT, default /sys) and the\n"
    "controllers spoken to through /dev/hidrawN (KORVEX_DEV_ROOT, default /dev); the\n"
    "udev rule 70-korvex.rules gives the logged-in user and the korvex group access.\n";

std::variant<Invocation, UsageError> parseInvocation(const std::vector<std::string>& argv) {
  Invocation inv;
  std::size_t i = 0;
  for (; i < argv.size(); ++i) {
    const std::string& a = argv[i];
    if (a == "--json") {
      inv.json = true;
    } else if (a == "--world") {
      if (i + 1 >= argv.size()) return UsageError{"--world needs a file name"};
      inv.world = argv[++i];
    } else if (a.rfind("--world=", 0) == 0) {
      inv.world = a.substr(8);
    } else if (a == "--state-dir") {
      if (i + 1 >= argv.size()) return UsageError{"--state-dir needs a folder"};
      inv.stateDir = argv[++i];
    } else if (a == "--help" || a == "-h") {
      return UsageError{""};
    } else if (a.rfind("--", 0) == 0 && inv.command.empty()) {
      return UsageError{"unknown option " + a};
    } else if (inv.command.empty()) {
      inv.command = a;
    } else {
      inv.args.push_back(a);
    }
  }
  if (inv.command.empty()) return UsageError{"no command given"};
  return inv;
}

std::optional<unsigned> takeWatchInterval(Invocation& inv) {
  for (auto it = inv.args.begin(); it != inv.args.end(); ++it) {
    if (*it != "--watch") continue;
    if (inv.command != "list" || it + 1 == inv.args.end()) return std::nullopt;
    const auto seconds = korvex::client::parseDecimal(*(it + 1), 1, 3600);
    if (!seconds) return std::nullopt;
    inv.args.erase(it, it + 2);
    return seconds;
  }
  return 0u;
}

}  // namespace korvexctl
