#include "korvex/library.h"

#include <memory>

namespace korvex {

void Library::load() {
  list_.load();
  if (list_.recoveryOn()) watchdog_.start();
}

void Library::unload(bool processExiting) {
  // At process exit the other threads are gone already: nothing to stop,
  // and waiting for them would only hang the exit.
  if (processExiting) {
    watchdog_.abandon();
  } else {
    watchdog_.stopForUnload();
  }
  list_.save();
}

Library& theLibrary() {
  // Never destroyed: the unload handling may run after the static
  // destructors, and must still find the library's state.
  static Library* const library = std::make_unique<Library>(platform::systemPlatform()).release();
  return *library;
}

}  // namespace korvex
