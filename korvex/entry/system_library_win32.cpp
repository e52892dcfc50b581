// The product korvex.dll's library: the system's USB host and clock, and
// its files beside the running program's executable.
#include <memory>

#include "korvex/backends/win32/win32_clock.h"
#include "korvex/backends/win32/win32_usb_host.h"
#include "korvex/common/executable_folder.h"
#include "korvex/library.h"

namespace korvex {

namespace {

struct SystemLibrary {
  win32::Win32UsbHost host;
  win32::Win32Clock clock;
  Library library{host, clock, executableFolder()};
};

}  // namespace

Library& theLibrary() {
  // Never destroyed: the unload handling may run after the static
  // destructors, and must still find the library's state.
  static SystemLibrary* const system = std::make_unique<SystemLibrary>().release();
  return system->library;
}

}  // namespace korvex
