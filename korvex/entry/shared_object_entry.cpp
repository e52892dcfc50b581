// Load and unload of the shared object (builds other than Windows, where
// DllMain does the same). No exception leaves them.
#include "korvex/common/no_throw.h"
#include "korvex/library.h"

namespace {

__attribute__((constructor)) void korvexLoaded() {
  korvex::runNoThrow([] { korvex::theLibrary().load(); });
}

// At exit or dlclose the other threads still run, so the watchdog is
// stopped properly.
__attribute__((destructor)) void korvexUnloaded() {
  korvex::runNoThrow([] { korvex::theLibrary().unload(korvex::Library::Unload::Orderly); });
}

}  // namespace
