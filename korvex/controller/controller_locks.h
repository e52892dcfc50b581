// Serializes the exchanges of one command per controller, so that two
// threads talking to the same controller never read each other's replies.
//
// A command holds its controller's lock from open to close. It is the last
// lock anyone takes and nothing else is locked while it is held, so it adds
// no lock-order cycle to the library. Controllers are mapped onto a fixed set
// of locks by their serial: two controllers that share a lock only wait for
// each other, which costs time but never correctness.
#pragma once

#include <array>
#include <mutex>

namespace korvex::controller {

class ControllerLocks {
 public:
  std::mutex& forSerial(const char16_t* serial);

 private:
  std::array<std::mutex, 32> locks_;
};

}  // namespace korvex::controller
