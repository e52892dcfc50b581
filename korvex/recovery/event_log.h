// The event log: one line of single-byte text per recovery event, appended
// to "korvex.log" by the watchdog before it switches a hub's power off.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "korvex/recovery/auto_check_store.h"
#include "korvex/seam/clock.h"

namespace korvex::recovery {

enum class RecoveryEvent : std::uint8_t {
  NotConfigured = 0,  // connected but not configured in three cycles in a row
  OtherDevice = 2,    // another device than the one listed is connected
  Absent = 3,         // the port is not connected and no switch-on is pending
};

// The longest line, with its CR LF; longer product names are cut to fit.
inline constexpr std::size_t kMaxLogLine = 511;

// "%d/%02d/%02d %02d:%02d:%02d,%S,%d,0x%04X,0x%04X,%S\r\n". Characters
// beyond U+00FF become '?', and CR, LF and other control characters inside
// a string become ' ', so that one event is always one line.
std::string formatLogLine(const seam::LocalTime& time, const AutoCheckRecord& record,
                          RecoveryEvent event);

// Appends the event's line, stamped with the clock's local time, to the log
// file in folder. The file is shared for reading; on Windows an append that
// finds it busy (a reader holding it without sharing) is retried for a
// while before the line is given up, at once when stop (if given) is
// raised. False when it was.
bool AppendLogLine(seam::Clock& clock, const std::filesystem::path& folder,
                   const AutoCheckRecord& record, RecoveryEvent event,
                   const StopSignal* stop = nullptr);

}  // namespace korvex::recovery
