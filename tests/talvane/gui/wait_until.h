// Polling with a time-out: every wait of the window tests goes through
// here, so that nothing waits for ever and no test sleeps a fixed time.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>

namespace talvane::gui_test {

using namespace std::chrono_literals;

// The time-out of one wait for a window, a text or a process end.
inline constexpr std::chrono::milliseconds kWaitLimit = 10s;

// Calls probe until it returns a value (or true), every 10 ms, for at most
// limit. The last probe runs after the limit has passed.
template <class Probe>
auto waitUntil(Probe probe, std::chrono::milliseconds limit = kWaitLimit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    auto result = probe();
    if (result || std::chrono::steady_clock::now() >= end) return result;
    Sleep(10);
  }
}

}  // namespace talvane::gui_test
