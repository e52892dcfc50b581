// Numbers from korvexctl's command line.
#pragma once

#include <optional>
#include <string>

namespace korvexctl {

// A whole number up to max, in decimal, in hex with 0x or in octal with a
// leading 0 (as strtoul reads it, leading blanks and all); else nullopt.
std::optional<unsigned> parseNumber(const std::string& text, unsigned max);

// Decimal digits only, no longer than max has, for a value from min to max;
// else nullopt.
std::optional<unsigned> parseDecimal(const std::string& text, unsigned min, unsigned max);

}  // namespace korvexctl
