// The edges no exception may cross: a thread's body, the load and unload
// handling. What f throws ends here.
#pragma once

namespace korvex {

// Runs f. True when it returned, false when it threw.
template <typename F>
bool runNoThrow(F&& f) noexcept {
  try {
    f();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace korvex
