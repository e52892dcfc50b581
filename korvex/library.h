// The library's state: one object, reached by the exported functions
// through theLibrary(). Tests build their own instance over a simulated
// USB host and clock.
//
// Locks, in the only order in which they are ever taken:
// WatchdogLock (a whole check cycle) -> LibraryLock (a USB scan) -> the
// list's ListLock (never held during I/O) -> a controller's lock (one
// command's exchanges).
#pragma once

#include <filesystem>
#include <mutex>

#include "korvex/controller/controller_commands.h"
#include "korvex/controller/controller_locks.h"
#include "korvex/recovery/auto_check_list.h"
#include "korvex/recovery/watchdog.h"
#include "korvex/seam/clock.h"
#include "korvex/seam/usb_host.h"
#include "korvex/topology/device_queries.h"

namespace korvex {

class Library {
 public:
  // The store and the log are kept in filesFolder.
  Library(seam::UsbHost& host, seam::Clock& clock, const std::filesystem::path& filesFolder);
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  controller::ControllerCommands& controllers() { return commands_; }
  topology::DeviceQueries& devices() { return devices_; }
  recovery::AutoCheckList& autoCheckList() { return list_; }
  recovery::Watchdog& watchdog() { return watchdog_; }

  // Load: the store read, settings of 0 taken as 1, the watchdog restarted
  // when auto recovery was on.
  void load();
  // How the library is being unloaded.
  enum class Unload {
    // Nothing holds a lock the unload needs: the hubs the watchdog held off
    // are switched on before the store is saved.
    Orderly,
    // Inside the system's loader lock (a Windows FreeLibrary): no device is
    // spoken to, since finding one may load other modules; a countdown still
    // running is saved and goes on with the next load. (No watchdog runs
    // then: a running one keeps the library loaded.)
    UnderLoaderLock,
    // The process is ending and its other threads are gone, perhaps ended
    // while holding a lock: no lock is taken and nothing is waited for, the
    // hubs stay as they are and the store is saved from the list's last
    // published copy when that holds changes the store has not got.
    ProcessExit,
  };
  // Unload: the watchdog ended (recovery on stays recorded) and the store
  // saved. Each step is taken whatever the one before it threw.
  void unload(Unload kind);

 private:
  std::mutex LibraryLock;
  controller::ControllerLocks controllerLocks_;
  controller::ControllerCommands commands_;
  topology::DeviceQueries devices_;
  recovery::AutoCheckList list_;
  recovery::Watchdog watchdog_;
};

// The instance behind the exports. Each shared library's binding defines
// it over its own host, clock and folder (the product: the system's; the
// simulated libraries: a simulator's), as an object that is never
// destroyed: the unload handling may run after the static destructors and
// must still find it.
Library& theLibrary();

}  // namespace korvex
