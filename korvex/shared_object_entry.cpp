// Load and unload of the shared object (builds other than Windows, where
// DllMain does the same).
#include "korvex/recovery/lifecycle.h"

namespace {

__attribute__((constructor)) void korvexLoaded() {
  korvex::recovery::onLibraryLoad();
}

// At exit or dlclose the other threads still run, so the watchdog is
// stopped properly.
__attribute__((destructor)) void korvexUnloaded() {
  korvex::recovery::onLibraryUnload(false);
}

}  // namespace
