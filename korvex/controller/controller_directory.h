// Where each controller is: its serial -> the path of its HID interface,
// learnt from one enumeration of the HID interfaces and checked on every
// use, so that a command opens its controller once instead of searching
// the whole list.
//
// A remembered path is used only when the device opened there still
// reports the controller's vendor, product and the wanted serial. When it
// does not (the device has gone, moved to another port, or another
// controller now has that path) or does not open, the interfaces are
// enumerated once more, which also renews every other remembered path, and
// the controller is opened from that enumeration.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "korvex/controller/controller_search.h"
#include "korvex/seam/usb_host.h"

namespace korvex::controller {

class ControllerDirectory {
 public:
  explicit ControllerDirectory(seam::UsbHost& host) : host_(host) {}
  ControllerDirectory(const ControllerDirectory&) = delete;
  ControllerDirectory& operator=(const ControllerDirectory&) = delete;

  // Opens the controller with this serial (at most one enumeration). A
  // closed handle when none is found or it cannot be opened, the reason
  // recorded (failure_reason.h).
  ControllerHandle open(const char16_t* serial);

  // Opens the controllers with these serials, one handle per serial
  // (closed for one not found or not opened): every remembered one at its
  // path, the rest from one enumeration for all of them.
  std::vector<ControllerHandle> openAll(std::span<const char16_t* const> serials);

 private:
  struct Opened {
    std::vector<ControllerHandle> handles;
    std::vector<FailureReason> failures;
  };
  Opened openEach(std::span<const char16_t* const> serials);
  // The device at the remembered path of serial, when it is still that
  // controller; closed otherwise.
  ControllerHandle openRemembered(const char16_t* serial);

  seam::UsbHost& host_;
  // Held for an enumeration and the paths' renewal, so that threads that
  // miss at the same time enumerate once: the later ones find the renewed
  // paths (enumerations_ has moved on) and use them.
  std::mutex searchLock_;
  std::mutex pathsLock_;  // guards paths_ and enumerations_; never held during I/O
  std::map<std::u16string, std::u16string> paths_;
  std::uint64_t enumerations_ = 0;
};

}  // namespace korvex::controller
