// The product libkorvex.so's library: the USB tree from sysfs, the
// controllers through hidraw, the files in the state folder
// (korvex/common/state_folder.h), created when missing. KORVEX_SYSFS_ROOT
// and KORVEX_DEV_ROOT move /sys and /dev, for tests and for a tree copied
// from another machine.
#include <cstdlib>
#include <memory>
#include <system_error>

#include "korvex/backends/linux/sysfs_usb_host.h"
#include "korvex/backends/portable/steady_clock.h"
#include "korvex/common/state_folder.h"
#include "korvex/library.h"

namespace korvex {

namespace {

std::filesystem::path rootFromEnvironment(const char* variable, const char* standard) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0' ? value : standard;
}

std::filesystem::path createdStateFolder() {
  const auto folder = stateFolderFor(environmentStateSettings());
  // A folder that cannot be made shows as a store that cannot be read.
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return folder;
}

struct SystemLibrary {
  linux_usb::SysfsUsbHost host{rootFromEnvironment("KORVEX_SYSFS_ROOT", "/sys"),
                               rootFromEnvironment("KORVEX_DEV_ROOT", "/dev")};
  portable::SteadyClock clock;
  Library library{host, clock, createdStateFolder()};
};

}  // namespace

Library& theLibrary() {
  // Never destroyed: the unload handling may run after the static
  // destructors, and must still find the library's state.
  static SystemLibrary* const system = std::make_unique<SystemLibrary>().release();
  return system->library;
}

}  // namespace korvex
