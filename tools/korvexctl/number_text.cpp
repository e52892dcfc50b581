#include "number_text.h"

namespace korvexctl {

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

}  // namespace korvexctl
