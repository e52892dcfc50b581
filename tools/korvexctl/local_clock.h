// Times for "rtc set": one given on the command line, or the computer's
// local time. The clock record and its text are the program's own
// (client/clock_text.h), so korvexctl shows what the status dialog
// shows.
#pragma once

#include <optional>
#include <string_view>

#include "client/clock_text.h"

namespace korvexctl {

// Accepts "YYYY-MM-DD HH:MM:SS" or "YYYY/MM/DD HH:MM:SS" with a year from
// 2000 to 2099 and every field in its range.
std::optional<korvex::client::LocalClock> parseClock(std::string_view text);

korvex::client::LocalClock localNow();

}  // namespace korvexctl
