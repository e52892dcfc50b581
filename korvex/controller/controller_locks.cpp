#include "korvex/controller/controller_locks.h"

#include <cstdint>

#include "korvex/seam/usb_host.h"

namespace korvex::controller {

std::mutex& ControllerLocks::forSerial(const char16_t* serial) {
  // FNV-1a over the units that can take part in a match.
  std::uint32_t hash = 2166136261u;
  for (std::size_t i = 0; serial != nullptr && i < seam::kHidSerialUnits && serial[i]; ++i) {
    hash = (hash ^ serial[i]) * 16777619u;
  }
  return locks_[hash % locks_.size()];
}

}  // namespace korvex::controller
