// The controller's 7-byte clock record in packed BCD: seconds, minutes,
// hours, day of week, day, month, two-digit year.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvexctl {

struct ClockTime {
  int year = 2000;  // 2000..2099
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

using ClockRecord = std::array<std::uint8_t, 7>;

// Day of week is written as 0; the controller keeps no use for it.
ClockRecord encodeClock(const ClockTime& t);

// Decodes each byte by its bit weights 1, 2, 4, 8, 10, 20, 40, 80, as the
// program's status dialog does, so both show the same for any byte.
ClockTime decodeClock(const ClockRecord& r);

// "20YY/MM/DD HH:MM:SS".
std::string formatClock(const ClockTime& t);

// Accepts "YYYY-MM-DD HH:MM:SS" or "YYYY/MM/DD HH:MM:SS" with a year from
// 2000 to 2099 and every field in its range.
std::optional<ClockTime> parseClock(std::string_view text);

ClockTime localNow();

}  // namespace korvexctl
