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
  // Unload: the watchdog ended (recovery on stays recorded), every hub it
  // held off switched on, and the store saved. Each step is taken whatever
  // the one before it threw. processExiting: the process is ending and its
  // other threads are gone already, perhaps ended while holding a lock: no
  // lock is taken and nothing is waited for, the hubs stay as they are (their
  // countdowns are saved and go on with the next load) and the store is
  // saved from the list's last published copy.
  void unload(bool processExiting);

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
