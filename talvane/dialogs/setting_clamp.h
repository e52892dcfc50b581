// The settings dialog's two numbers (check interval and power-off time):
// each edit holds 1..255, read as _wtoi reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace talvane {

// As _wtoi: leading white space, optional sign, decimal digits up to the
// first other character; no digits is 0; an overflow saturates at
// INT_MIN / INT_MAX.
int settingNumber(std::u16string_view text);

// The text the edit must be set to: "1" below 1, "255" above 255; nullopt
// when the text stays as it is.
std::optional<std::u16string> clampedSettingText(std::u16string_view text);

// The byte the library gets: the low 8 bits of settingNumber.
std::uint8_t settingByte(std::u16string_view text);

}  // namespace talvane
