// The controller's clock record and the text the status dialog shows for it.
// The record is seven bytes of packed BCD: seconds, minutes, hours, day of
// week, day, month, two-digit year.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace korvex::client {

using ClockRecord = std::array<std::uint8_t, 7>;

struct LocalClock {
  int year, month, day, hour, minute, second;
};

// value % 100 as two BCD digits: 26 -> 0x26. value must not be negative.
std::uint8_t packedBcd(int value);

// The byte read by the weights 1, 2, 4, 8, 10, 20, 40, 80 of its bits, with no
// masking, so a byte that is not BCD still shows as a number: 0xFF -> 165.
int bitWeightValue(std::uint8_t byte);

// The day of week is written as 0; the controller has no use for it.
ClockRecord clockRecordFromLocal(const LocalClock& t);

// "20YY/MM/DD hh:mm:ss", each field by bitWeightValue (a field past 99 shows
// all its digits); the day of week is not shown.
std::u16string clockText(const ClockRecord& r);

}  // namespace korvex::client
