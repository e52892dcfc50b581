// Finding controllers among the HID interfaces by their serial: one pass
// over the system's list, which opens only the interfaces that carry (or
// may carry) the controller's vendor and product.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "korvex/common/failure_reason.h"
#include "korvex/seam/usb_host.h"

namespace korvex::controller {

struct ControllerHandle {
  std::unique_ptr<seam::HidDevice> device;  // closed when reset
  seam::HidReportLengths lengths;           // the feature length is passed to every call

  bool isOpen() const { return device != nullptr; }
};

// Whether an interface with this identity is the controller with this
// serial: the protocol's vendor and product, and the serial as it lands in
// the system's 32-unit buffer (so a serial of 32 units or more, which
// leaves no room for its NUL, matches nothing).
bool isController(const seam::HidIdentity& identity);
bool serialMatches(const seam::HidIdentity& identity, const char16_t* serial);

// The handle over an open controller, with its report lengths; closed when
// they cannot be read.
ControllerHandle withReportLengths(std::unique_ptr<seam::HidDevice> device);

struct ControllerSearch {
  bool listed = false;  // false: the list itself could not be had
  // Every controller seen whose serial can match, by that serial: its path
  // (the first one in list order when two report the same serial).
  std::map<std::u16string, std::u16string> paths;
  // Per wanted serial: that controller, open (the first in list order), or
  // closed, with why in failures.
  std::vector<ControllerHandle> found;
  std::vector<FailureReason> failures;
};

// One enumeration of the HID interfaces. An interface listed with another
// vendor or product is passed over unopened; one whose identity or serial
// only an open tells is opened once, and kept open when it is a wanted
// controller. An interface that cannot be read (no path, no open, no
// identity) hides no controller behind it; a wanted serial not found after
// one is reported as a device error rather than as missing, since it may
// have been that one.
ControllerSearch SearchControllers(seam::UsbHost& host, std::span<const char16_t* const> wanted);

// OpenController: one search for one serial (a null serial finds nothing,
// a bad argument). A closed handle when none is found or it cannot be
// opened, the reason recorded (failure_reason.h).
ControllerHandle OpenController(seam::UsbHost& host, const char16_t* serial);

}  // namespace korvex::controller
