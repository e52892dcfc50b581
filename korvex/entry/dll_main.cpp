// The library's entry point: load and unload handling.
//
// Only what the loader lock allows happens here: the load reads the store
// and may create the watchdog thread (which cannot start running until the
// load returns). The watchdog thread holds a reference to this library for
// as long as it runs, so an unload other than at process exit never meets
// a running watchdog and waits for nothing: a FreeLibrary while auto
// recovery runs leaves the library loaded, still watching, until recovery
// is stopped. No exception leaves the entry point.
#include <windows.h>

#include "korvex/common/no_throw.h"
#include "korvex/library.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      korvex::runNoThrow([] { korvex::theLibrary().load(); });
      break;
    case DLL_PROCESS_DETACH:
      // A non-null reserved argument means the process is ending: its other
      // threads are gone already and must not be waited for.
      korvex::runNoThrow([reserved] {
        korvex::theLibrary().unload(reserved != nullptr ? korvex::Library::Unload::ProcessExit
                                                        : korvex::Library::Unload::UnderLoaderLock);
      });
      break;
    default:
      break;
  }
  return TRUE;
}
