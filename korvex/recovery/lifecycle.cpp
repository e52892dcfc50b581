#include "korvex/recovery/lifecycle.h"

#include "korvex/library.h"

namespace korvex::recovery {

void onLibraryLoad() {
  theLibrary().load();
}

void onLibraryUnload(bool processExiting) {
  theLibrary().unload(processExiting);
}

}  // namespace korvex::recovery
