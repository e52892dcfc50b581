// The library's load and unload handling. DllMain (Windows) and the shared
// object's constructor and destructor (elsewhere) call these and nothing
// else.
#pragma once

namespace korvex::recovery {

// Load: the block from the store file (settings of 0 taken as 1), and the
// watchdog restarted when auto recovery was on.
void onLibraryLoad();

// Unload: a running watchdog stopped (recovery on stays recorded), then the
// store saved. processExiting: the process is ending and the platform has
// already ended every other thread, so there is nothing to wait for.
void onLibraryUnload(bool processExiting);

}  // namespace korvex::recovery
