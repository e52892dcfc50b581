#include "korvex/library.h"

#include "korvex/common/no_throw.h"

namespace korvex {

Library::Library(seam::UsbHost& host, seam::Clock& clock, const std::filesystem::path& filesFolder)
    : commands_(host, clock, controllerLocks_),
      devices_(
          host,
          [this](std::span<const char16_t* const> serials, std::span<std::uint8_t> statuses) {
            commands_.getStatuses(serials, statuses);
          },
          LibraryLock),
      list_(filesFolder),
      watchdog_(clock, filesFolder, devices_, commands_, list_) {}

void Library::load() {
  list_.load();
  if (list_.recoveryOn()) watchdog_.start();
}

void Library::unload(Unload kind) {
  if (kind == Unload::ProcessExit) {
    watchdog_.abandon();
    list_.saveAtExit();
    return;
  }
  runNoThrow([this] { watchdog_.stopForUnload(); });
  // The thread switched on the hubs it held off; this is for those a
  // stored countdown holds off with no watchdog acting, here or elsewhere.
  if (kind == Unload::Orderly) runNoThrow([this] { watchdog_.switchOnHeldOffUnlessWatched(); });
  runNoThrow([this] { list_.save(); });
}

}  // namespace korvex
