#include "simulator/downstream_power.h"

#include <utility>

#include "korvex/seam/usb_host.h"

namespace korvex::sim {

void followPower(Port& port, bool on) {
  if (!on) {
    if (port.device) {
      port.unpowered = std::move(port.device);
      port.device.reset();
    }
    return;
  }
  if (port.device || !port.unpowered) return;
  switch (port.afterPowerOn) {
    case AfterPowerOn::Returns:
    case AfterPowerOn::Hangs: {
      Device& d = port.device.emplace(std::move(*port.unpowered));
      port.unpowered.reset();
      d.connectionStatus = seam::kDeviceConnected;
      if (port.afterPowerOn == AfterPowerOn::Hangs) {
        d.currentConfigurationValue = 0;
      } else if (d.currentConfigurationValue == 0) {
        d.currentConfigurationValue = 1;
      }
      break;
    }
    case AfterPowerOn::StaysAway:
      break;  // remembered, in case the port is told otherwise later
    case AfterPowerOn::Becomes:
      if (port.becomes) {
        port.device = *port.becomes;
        port.unpowered.reset();
      }
      break;
  }
}

}  // namespace korvex::sim
