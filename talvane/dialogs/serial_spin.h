// The serial number dialog: an up-down control picks one hex digit, 0..F,
// which is written as the hub's USB serial "0000000X".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace talvane {

inline constexpr int kSerialDigitMin = 0;
inline constexpr int kSerialDigitMax = 15;

// One step of the spin: up when delta > 0, else down, kept in 0..15.
int serialSpinStep(int position, int delta);

// "0000000%X": 10 -> "0000000A".
std::u16string serialDigitText(int digit);

// The spin's starting position for the hub's current serial: the text read
// as a base-16 wcstol does (leading white space, optional sign, optional
// 0x/0X, hex digits up to the first other character; no digits is 0; an
// overflow saturates), then kept in 0..15 as the up-down control keeps it.
// "0000000A" -> 10, "FD-2024" -> 15, "-3" -> 0. Only ASCII counts as white
// space or digits.
int serialSpinPosition(std::u16string_view serial);

// The 8 bytes of the serial write: seven zero bytes, then the digit's low byte.
std::array<std::uint8_t, 8> serialNumberData(int digit);

}  // namespace talvane
