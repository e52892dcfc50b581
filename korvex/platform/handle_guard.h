// Closes a platform handle when the step that opened it ends.
#pragma once

#include "korvex/platform/platform.h"

namespace korvex::platform {

class HandleGuard {
 public:
  HandleGuard(Platform& p, Handle h) : platform_(p), handle_(h) {}
  ~HandleGuard() { close(); }
  HandleGuard(const HandleGuard&) = delete;
  HandleGuard& operator=(const HandleGuard&) = delete;

  bool isOpen() const { return handle_ != kNoHandle; }
  Handle get() const { return handle_; }
  // Closes it now (a file must be closed before it is renamed).
  void close() {
    if (handle_ != kNoHandle) platform_.close(handle_);
    handle_ = kNoHandle;
  }

 private:
  Platform& platform_;
  Handle handle_;
};

}  // namespace korvex::platform
