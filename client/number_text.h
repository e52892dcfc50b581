// Numbers typed by a person: into a dialog's edit, or on a command line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvex::client {

// The number at the start of a text, read the way the C library's wcstol
// and _wtoi read one: leading white space, an optional sign, for base 16 an
// optional "0x"/"0X", then the digits of the base up to the first other
// character. A text with no digits reads as 0. The value saturates into
// [min, max] instead of overflowing, so any text is safe. Only ASCII counts
// as white space or digits. base is 10 or 16.
int leadingNumber(std::u16string_view text, int base, int min, int max);

// A whole number up to max, in decimal, in hex with 0x or in octal with a
// leading 0 (as strtoul reads it, leading blanks and all); else nullopt.
std::optional<unsigned> parseNumber(const std::string& text, unsigned max);

// Decimal digits only, no longer than max has, for a value from min to max;
// else nullopt.
std::optional<unsigned> parseDecimal(const std::string& text, unsigned min, unsigned max);

}  // namespace korvex::client
