// The seam's USB host over the real system: SetupAPI's interface lists, the
// USB host controller and hub drivers' I/O controls, and hid.dll.
#pragma once

#include <cstdint>

#include "korvex/backends/win32/win32_io_channel.h"
#include "korvex/seam/usb_host.h"

namespace korvex::win32 {

class Win32UsbHost final : public seam::UsbHost {
 public:
  // ioTimeoutMs: how long one I/O control to a controller or hub may take.
  explicit Win32UsbHost(std::uint32_t ioTimeoutMs = kUsbIoTimeoutMs) : ioTimeoutMs_(ioTimeoutMs) {}

  std::vector<seam::HubName> rootHubs() override;
  std::unique_ptr<seam::UsbHub> openHub(std::u16string_view name) override;
  std::optional<std::vector<seam::HidInterface>> hidInterfaces() override;
  std::unique_ptr<seam::HidDevice> openHid(std::u16string_view path) override;

 private:
  std::uint32_t ioTimeoutMs_;
};

}  // namespace korvex::win32
