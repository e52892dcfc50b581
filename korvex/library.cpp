#include "korvex/library.h"

#include <memory>
#include <new>
#include <utility>

namespace korvex {

namespace {

// Static storage that is never destroyed: the unload handling may run after
// the static destructors, and must still find the library's state.
template <typename T>
class NoDestructor {
 public:
  template <typename... Args>
  explicit NoDestructor(Args&&... args) {
    std::construct_at(reinterpret_cast<T*>(storage_), std::forward<Args>(args)...);
  }
  T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

 private:
  alignas(T) unsigned char storage_[sizeof(T)];
};

}  // namespace

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

Library& theLibrary() {
  static NoDestructor<Library> library(platform::systemPlatform());
  return library.get();
}

}  // namespace korvex
