// One open hidraw node as the seam's HID device: the vendor and product
// from HIDIOCGRAWINFO, the serial from HIDIOCGRAWUNIQ, feature reports
// with HIDIOCSFEATURE and HIDIOCGFEATURE.
#pragma once

#include <memory>
#include <vector>

#include "korvex/backends/linux/hidraw_node.h"
#include "korvex/seam/usb_host.h"

namespace korvex::linux_usb {

class HidrawDevice final : public seam::HidDevice {
 public:
  explicit HidrawDevice(std::unique_ptr<HidrawNode> node) : node_(std::move(node)) {}

  std::optional<seam::HidIdentity> identity() override;
  std::optional<seam::HidReportLengths> reportLengths() override;
  bool setFeature(std::span<const std::uint8_t> report) override;
  bool getFeature(std::span<std::uint8_t> report) override;

 private:
  std::unique_ptr<HidrawNode> node_;
  std::vector<std::uint8_t> buffer_;  // the ioctls write into the buffer they are given
};

}  // namespace korvex::linux_usb
