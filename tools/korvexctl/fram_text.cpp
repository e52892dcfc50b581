#include "fram_text.h"

namespace korvexctl {

std::optional<std::vector<std::uint8_t>> framBytesFromText(std::u16string_view text,
                                                           std::size_t size) {
  // Text that fits is never cut by the program's encoding.
  if (text.size() * 2 > size || size > korvex::client::kFramTextBytes) return std::nullopt;
  const auto area = korvex::client::framBytesFromText(text);
  return std::vector<std::uint8_t>(area.begin(), area.begin() + static_cast<std::ptrdiff_t>(size));
}

std::optional<std::vector<std::uint8_t>> parseHex(std::string_view text) {
  std::vector<std::uint8_t> bytes;
  int high = -1;
  for (const char c : text) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    if (c == ' ' && high < 0) continue;
    if (v < 0) return std::nullopt;
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  if (high >= 0) return std::nullopt;
  return bytes;
}

std::string toHex(const std::vector<std::uint8_t>& bytes) {
  static const char* digits = "0123456789abcdef";
  std::string hex;
  for (const auto b : bytes) {
    if (!hex.empty()) hex += ' ';
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  return hex;
}

}  // namespace korvexctl
