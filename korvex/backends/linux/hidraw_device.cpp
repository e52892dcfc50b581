#include "korvex/backends/linux/hidraw_device.h"

#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <array>

#include "korvex/common/utf16.h"
#include "korvex/seam/controller_protocol.h"

namespace korvex::linux_usb {

namespace {

// The kernel keeps a HID device's unique id in 64 bytes, its NUL included.
constexpr std::size_t kUniqBytes = 64;

}  // namespace

std::optional<seam::HidIdentity> HidrawDevice::identity() {
  hidraw_devinfo info{};
  if (node_->control(HIDIOCGRAWINFO, &info) < 0) return std::nullopt;
  seam::HidIdentity identity;
  identity.vendorId = static_cast<std::uint16_t>(info.vendor);
  identity.productId = static_cast<std::uint16_t>(info.product);
  // Kernels before 5.13 cannot tell the unique id: the serial stays empty.
  std::array<char, kUniqBytes> uniq{};
  if (node_->control(HIDIOCGRAWUNIQ(kUniqBytes), uniq.data()) >= 0) {
    const std::string_view text(uniq.data(),
                                std::find(uniq.begin(), uniq.end(), '\0') - uniq.begin());
    identity.serial = fromUtf8(text).substr(0, seam::kHidSerialUnits);
  }
  return identity;
}

std::optional<seam::HidReportLengths> HidrawDevice::reportLengths() {
  // hidraw passes a report of any length to the device as it is given, so
  // the protocol's length is the one the exchanges use.
  return seam::HidReportLengths{0, 0, static_cast<std::uint16_t>(protocol::kReportSize)};
}

bool HidrawDevice::setFeature(std::span<const std::uint8_t> report) {
  if (report.empty()) return false;
  buffer_.assign(report.begin(), report.end());
  const int sent = node_->control(HIDIOCSFEATURE(buffer_.size()), buffer_.data());
  return sent >= 0 && static_cast<std::size_t>(sent) == report.size();
}

bool HidrawDevice::getFeature(std::span<std::uint8_t> report) {
  if (report.empty()) return false;
  buffer_.assign(report.size(), 0);
  buffer_[0] = report[0];
  const int read = node_->control(HIDIOCGFEATURE(buffer_.size()), buffer_.data());
  if (read <= 0) return false;
  // A shorter reply leaves the rest of the report zero, as on Windows.
  std::copy(buffer_.begin(), buffer_.end(), report.begin());
  std::fill(report.begin() + std::min<std::ptrdiff_t>(read, std::ssize(report)), report.end(), 0);
  return true;
}

}  // namespace korvex::linux_usb
