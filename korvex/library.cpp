#include "korvex/library.h"

namespace korvex {

Library::Library(seam::UsbHost& host, seam::Clock& clock, const std::filesystem::path& filesFolder)
    : commands_(host, clock, controllerLocks_),
      devices_(
          host,
          [this](const char16_t* serial, std::uint8_t* status) {
            return commands_.getStatus(serial, status);
          },
          LibraryLock),
      list_(filesFolder),
      watchdog_(clock, filesFolder, devices_, commands_, list_) {}

void Library::load() {
  list_.load();
  if (list_.recoveryOn()) watchdog_.start();
}

void Library::unload(bool processExiting) {
  // At process exit the other threads are gone already: nothing to stop,
  // and waiting for them would only hang the exit.
  if (processExiting) {
    watchdog_.abandon();
  } else {
    watchdog_.stopForUnload();
  }
  list_.save();
}

}  // namespace korvex
