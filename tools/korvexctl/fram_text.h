// FRAM contents as text: UTF-16LE, as the program's status dialog keeps it,
// in the 255 bytes from address 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvexctl {

inline constexpr std::size_t kFramTextBytes = 255;

// The text's UTF-16LE bytes padded with zeros to `size` bytes; nullopt when
// the text (without a terminator) does not fit.
std::optional<std::vector<std::uint8_t>> framBytesFromText(std::u16string_view text,
                                                           std::size_t size);

// The UTF-16LE text up to the first NUL unit (or the end of the bytes).
std::u16string framTextFromBytes(const std::vector<std::uint8_t>& bytes);

// Hex digit pairs, optionally separated by spaces; nullopt on anything else.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);
std::string toHex(const std::vector<std::uint8_t>& bytes);

}  // namespace korvexctl
