// FRAM contents on the command line: text the way the program's status
// dialog keeps it (client/fram_text.h), placed anywhere in the area,
// and raw bytes as hex.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/fram_text.h"

namespace korvexctl {

// The text's UTF-16LE bytes padded with zeros to `size` bytes (at most
// korvex::client::kFramTextBytes); nullopt when the text (without a terminator)
// does not fit.
std::optional<std::vector<std::uint8_t>> framBytesFromText(std::u16string_view text,
                                                           std::size_t size);

// Hex digit pairs, optionally separated by spaces; nullopt on anything else.
std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text);
std::string toHex(const std::vector<std::uint8_t>& bytes);

}  // namespace korvexctl
