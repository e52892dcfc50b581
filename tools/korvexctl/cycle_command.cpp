#include "cycle_command.h"

#include <chrono>
#include <csignal>
#include <thread>

#include "client/number_text.h"
#include "hub_library.h"
#include "library_failure.h"
#include "library_text.h"

namespace korvexctl {

namespace {

volatile std::sig_atomic_t interrupted = 0;

void interrupt(int) {
  interrupted = 1;
}

// Sleeps the seconds in short steps, ending early on SIGINT or SIGTERM.
// True when it was interrupted.
bool waitOff(unsigned seconds) {
  constexpr auto kStep = std::chrono::milliseconds(50);
  interrupted = 0;
  std::signal(SIGINT, interrupt);
  std::signal(SIGTERM, interrupt);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (interrupted == 0 && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(kStep);
  }
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  return interrupted != 0;
}

}  // namespace

Result runCycle(const std::string& serial, const std::vector<std::string>& args) {
  unsigned seconds = kDefaultCycleOffSeconds;
  if (args.size() == 2 && args[0] == "--off") {
    const auto parsed = korvex::client::parseDecimal(args[1], 1, 3600);
    if (!parsed) return badArgument("--off takes a number of seconds from 1 to 3600");
    seconds = *parsed;
  } else if (!args.empty()) {
    return badArgument("cycle takes only --off SECONDS");
  }
  const KString s = toLibraryString(serial);
  if (library().Hub_SetStatus(s.c_str(), 0) == 0) {
    return controllerFailure(library().Hub_GetLastError(), serial, 5000);
  }
  const bool cutShort = waitOff(seconds);
  if (library().Hub_SetStatus(s.c_str(), 1) == 0) {
    Result failed = controllerFailure(library().Hub_GetLastError(), serial, 5000);
    failed.exitCode = kPowerLeftOff;
    failed.text = "switched off, but switching on again failed: " + failed.text;
    failed.json["step"] = "on";
    failed.json["message"] = failed.text;
    return failed;
  }
  return done({{"serial", serial}, {"offSeconds", seconds}, {"interrupted", cutShort}},
              cutShort ? "power cycled (the wait was interrupted)" : "power cycled");
}

}  // namespace korvexctl
