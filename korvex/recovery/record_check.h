// What one check cycle does to one listed hub: a pure decision from the
// record's counters and what the watchdog's scan saw on the hub's
// downstream port.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "korvex/recovery/event_log.h"

namespace korvex::recovery {

// The downstream port as the scan saw it.
struct Sighting {
  bool hubFound = false;  // false: the hub itself is missing from the scan
  std::uint32_t connectionStatus = 0;
  std::uint8_t configuration = 0;  // CurrentConfigurationValue
  std::uint16_t idVendor = 0;
  std::uint16_t idProduct = 0;
};

struct RecordCounters {
  std::uint8_t offCountdown = 0;
  std::uint8_t failureCount = 0;
};

enum class Step : std::uint8_t {
  PowerOff,  // log the event, then switch the hub's power off
  PowerOn,   // switch the hub's power on
};

struct Action {
  Step step;
  RecoveryEvent event;  // for PowerOff
};

struct RecordCheck {
  std::array<Action, 3> actions{};  // in the order they are carried out
  std::size_t actionCount = 0;
  RecordCounters after;
};

// listedVendor and listedProduct identify the device recorded when the hub
// was listed; offTime is the watchdog's setting as read at its start.
RecordCheck checkRecord(RecordCounters before, std::uint16_t listedVendor,
                        std::uint16_t listedProduct, const Sighting& seen, std::uint8_t offTime);

}  // namespace korvex::recovery
