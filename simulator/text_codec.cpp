#include "simulator/text_codec.h"

#include <cstdio>

namespace korvex::sim {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> parseHexBytes(std::string_view s) {
  std::vector<std::uint8_t> bytes;
  std::size_t i = 0;
  while (i < s.size()) {
    if (s[i] == ' ') {
      ++i;
      continue;
    }
    if (i + 1 >= s.size()) return std::nullopt;
    const int hi = hexDigit(s[i]);
    const int lo = hexDigit(s[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    i += 2;
  }
  return bytes;
}

std::string formatHexBytes(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const std::uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 0x0F];
  }
  return out;
}

std::string formatHex(std::uint32_t value, int digits) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%0*X", digits, static_cast<unsigned>(value));
  return buf;
}

std::optional<std::uint64_t> parseNumberText(std::string_view s) {
  int base = 10;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : s) {
    const int d = hexDigit(c);
    if (d < 0 || d >= base) return std::nullopt;
    const auto b = static_cast<std::uint64_t>(base);
    if (value > (UINT64_MAX - static_cast<std::uint64_t>(d)) / b) return std::nullopt;
    value = value * b + static_cast<std::uint64_t>(d);
  }
  return value;
}

}  // namespace korvex::sim
