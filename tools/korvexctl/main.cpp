// korvexctl: the hub controller commands for a person or a script.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "invocation.h"
#include "run_command.h"

namespace {

// Over the simulator the library reads its world from the file this
// variable names; it does so at its first call, which comes after this.
bool selectWorld(const std::string& file) {
#ifdef KORVEXCTL_SIMULATED
#ifdef _WIN32
  return _putenv_s("KORVEX_SIM_WORLD", file.c_str()) == 0;
#else
  return setenv("KORVEX_SIM_WORLD", file.c_str(), 1) == 0;
#endif
#else
  (void)file;
  return false;
#endif
}

}  // namespace

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
  if (inv.world && !selectWorld(*inv.world)) {
    std::cerr << "korvexctl: --world works only with a build over the simulated world\n";
    return korvexctl::kBadArgument;
  }
  for (;;) {
    const korvexctl::Result result = korvexctl::runCommand(inv);
    if (inv.json) {
      std::cout << result.json.dump(*watch ? -1 : 2) << std::endl;
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
