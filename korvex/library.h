// The library's state: one object, reached by the exported functions
// through theLibrary(). Tests build their own instance over a simulated
// platform.
#pragma once

#include <mutex>

#include "korvex/controller/controller_commands.h"
#include "korvex/controller/controller_locks.h"
#include "korvex/platform/platform.h"
#include "korvex/topology/device_queries.h"

namespace korvex {

class Library {
 public:
  explicit Library(platform::Platform& p)
      : platform_(p), commands_(p, controllerLocks_), devices_(p, commands_, LibraryLock) {}
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  platform::Platform& platform() { return platform_; }
  controller::ControllerCommands& controllers() { return commands_; }
  topology::DeviceQueries& devices() { return devices_; }

 private:
  platform::Platform& platform_;
  // Serializes the USB scans (and, with auto recovery, the list's cursor
  // and deletions). Taken after the watchdog's lock, never before it.
  std::mutex LibraryLock;
  controller::ControllerLocks controllerLocks_;
  controller::ControllerCommands commands_;
  topology::DeviceQueries devices_;
};

// The instance behind the exports, bound to the build's platform.
Library& theLibrary();

}  // namespace korvex
