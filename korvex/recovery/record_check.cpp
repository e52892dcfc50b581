#include "korvex/recovery/record_check.h"

#include <algorithm>

#include "korvex/topology/device_table.h"

namespace korvex::recovery {

namespace {

constexpr std::uint8_t kFailuresBeforeAction = 3;

}  // namespace

RecordCheck checkRecord(RecordCounters before, std::uint16_t listedVendor,
                        std::uint16_t listedProduct, const Sighting& seen, std::uint8_t offTime) {
  RecordCheck check;
  check.after = before;
  RecordCounters& c = check.after;
  const auto powerOff = [&](RecoveryEvent event) {
    check.actions[check.actionCount++] = {Step::PowerOff, event};
    // The countdown is decremented in this same cycle, so the power comes
    // back offTime cycles later. An off time of 255 would wrap the one-byte
    // countdown to 0 and leave the hub without power for good; it is held
    // at 255 instead.
    c.offCountdown = static_cast<std::uint8_t>(std::min(offTime + 1, 255));
  };

  if (seen.hubFound) {
    if (seen.connectionStatus == topology::DeviceConnected) {
      if (seen.configuration != 0) {
        c.failureCount = 0;
      } else {
        // A count from a stored block may already stand at or past the limit.
        c.failureCount = static_cast<std::uint8_t>(std::min(c.failureCount + 1, 255));
        if (c.failureCount >= kFailuresBeforeAction) {
          powerOff(RecoveryEvent::NotConfigured);
          c.failureCount = 0;
        }
      }
      if (seen.idVendor != listedVendor || seen.idProduct != listedProduct) {
        powerOff(RecoveryEvent::OtherDevice);
      }
    } else if (c.offCountdown == 0) {
      powerOff(RecoveryEvent::Absent);
    }
  }
  if (c.offCountdown != 0) {
    --c.offCountdown;
    if (c.offCountdown == 0) check.actions[check.actionCount++] = {Step::PowerOn, {}};
  }
  return check;
}

}  // namespace korvex::recovery
