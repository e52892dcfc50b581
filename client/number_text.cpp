#include "client/number_text.h"

#include <algorithm>
#include <cstdint>

namespace korvex::client {

namespace {

bool isCSpace(char16_t c) {
  return c == u' ' || (c >= u'\t' && c <= u'\r');
}

int digitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;  // no digit in any base
}

// Past every int either way: once the magnitude gets here it stops growing.
constexpr std::int64_t kMagnitudeCap = std::int64_t{1} << 33;

}  // namespace

int leadingNumber(std::u16string_view text, int base, int min, int max) {
  std::size_t i = 0;
  while (i < text.size() && isCSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  // "0x" with no hex digit after it reads as the 0 alone: 0 either way.
  if (base == 16 && (text.substr(i, 2) == u"0x" || text.substr(i, 2) == u"0X")) i += 2;
  std::int64_t magnitude = 0;
  for (; i < text.size() && digitValue(text[i]) < base; ++i) {
    magnitude = std::min(magnitude * base + digitValue(text[i]), kMagnitudeCap);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<std::int64_t>(value, min, max));
}

}  // namespace korvex::client

namespace korvex::client {

std::optional<unsigned> parseNumber(const std::string& text, unsigned max) {
  if (text.empty()) return std::nullopt;
  try {
    std::size_t used = 0;
    const unsigned long v = std::stoul(text, &used, 0);
    if (used != text.size() || v > max) return std::nullopt;
    return static_cast<unsigned>(v);
  } catch (...) {
    return std::nullopt;
  }
}

std::optional<unsigned> parseDecimal(const std::string& text, unsigned min, unsigned max) {
  // The length check keeps stoul from overflowing on long runs of digits.
  if (text.empty() || text.size() > std::to_string(max).size() ||
      text.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned value = static_cast<unsigned>(std::stoul(text));
  if (value < min || value > max) return std::nullopt;
  return value;
}

}  // namespace korvex::client
