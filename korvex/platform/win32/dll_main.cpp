// The library's entry point: load and unload handling.
//
// Only what the loader lock allows happens here: the load reads the store
// and may create the watchdog thread (which cannot start running until the
// load returns); the unload tells a running watchdog to stop and waits for
// its "finished" report, which the thread gives without needing the loader
// lock, so a FreeLibrary with the watchdog running neither deadlocks nor
// falls back to the forced end.
#include <windows.h>

#include "korvex/recovery/lifecycle.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      korvex::recovery::onLibraryLoad();
      break;
    case DLL_PROCESS_DETACH:
      // A non-null reserved argument means the process is ending: its other
      // threads are gone already and must not be waited for.
      korvex::recovery::onLibraryUnload(reserved != nullptr);
      break;
    default:
      break;
  }
  return TRUE;
}
