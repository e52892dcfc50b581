// Conversions between the world file's text and the model's values: byte
// blocks as hexadecimal strings, numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::sim {

// UTF-8 and UTF-16: korvex/common/utf16.h.

// "0A1b ff" style: pairs of hex digits, spaces allowed between bytes.
// nullopt when the text is not such a string.
std::optional<std::vector<std::uint8_t>> parseHexBytes(std::string_view s);
std::string formatHexBytes(std::span<const std::uint8_t> bytes);

// "0x3A91" for 16-bit values, "0x1F" for 8-bit values.
std::string formatHex(std::uint32_t value, int digits);

// A number written in decimal or as "0x" followed by hex digits. nullopt
// when the text is neither or the value does not fit in 64 bits.
std::optional<std::uint64_t> parseNumberText(std::string_view s);

}  // namespace korvex::sim
