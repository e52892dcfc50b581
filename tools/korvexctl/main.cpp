// korvexctl: the hub controller commands and the auto-recovery list for a
// person or a script.
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "hub_library.h"
#include "invocation.h"
#include "library_folder.h"
#ifdef KORVEXCTL_SIMULATED
#include "simulated_world.h"
#endif
#include "run_command.h"
#include "watch_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = korvexctl::parseInvocation(args);
  if (const auto* usage = std::get_if<korvexctl::UsageError>(&parsed)) {
    if (usage->message.empty()) {
      std::cout << korvexctl::kUsage;
      return korvexctl::kDone;
    }
    std::cerr << "korvexctl: " << usage->message << "\n\n" << korvexctl::kUsage;
    return korvexctl::kBadArgument;
  }
  auto inv = std::get<korvexctl::Invocation>(parsed);
  const auto watch = korvexctl::takeWatchInterval(inv);
  if (!watch) {
    std::cerr << "korvexctl: --watch takes a number of seconds from 1 to 3600 (list only)\n";
    return korvexctl::kBadArgument;
  }
  if (inv.world && inv.world->empty()) {
    std::cerr << "korvexctl: --world needs a file name\n";
    return korvexctl::kBadArgument;
  }
#ifdef KORVEXCTL_SIMULATED
  if (inv.world && !korvexctl::bindWorldFile(*inv.world)) {
    std::cerr << "korvexctl: could not run over the world file " << *inv.world << '\n';
    return korvexctl::kFailed;
  }
#else
  if (inv.world) {
    std::cerr << "korvexctl: --world works only with a build over the simulated world\n";
    return korvexctl::kBadArgument;
  }
#endif
  if (inv.stateDir && !korvexctl::useStateFolder(*inv.stateDir)) {
    std::cerr << "korvexctl: --state-dir needs a folder (and is for Linux only)\n";
    return korvexctl::kBadArgument;
  }
  if (const auto error = korvexctl::loadHubLibrary(inv.world.has_value())) {
    std::cerr << "korvexctl: " << *error << '\n';
    return korvexctl::kFailed;
  }
  const bool streaming = *watch != 0 || inv.command == "watch";
  for (;;) {
    const korvexctl::Result result = inv.command == "watch"
                                         ? korvexctl::runWatch(inv.args, inv.json, std::cout)
                                         : korvexctl::runCommand(inv);
    if (inv.json) {
      std::cout << result.json.dump(streaming ? -1 : 2) << std::endl;
    } else if (result.exitCode == korvexctl::kDone) {
      std::cout << result.text << std::endl;
    } else {
      std::cerr << "korvexctl: " << result.text << std::endl;
    }
    // --watch repeats until the process is interrupted.
    if (*watch == 0 || result.exitCode != korvexctl::kDone) return result.exitCode;
    std::this_thread::sleep_for(std::chrono::seconds(*watch));
    if (!inv.json) std::cout << '\n';
  }
}
