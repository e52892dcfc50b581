#include "client/fram_text.h"

namespace korvex::client {

namespace {

bool isHighSurrogate(char16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
  return unit >= 0xDC00 && unit <= 0xDFFF;
}

std::u16string_view fittingText(std::u16string_view text) {
  constexpr auto kLimit = static_cast<std::size_t>(kFramEditCharacterLimit);
  if (text.size() <= kLimit) return text;
  const bool splitsPair = isHighSurrogate(text[kLimit - 1]) && isLowSurrogate(text[kLimit]);
  return text.substr(0, splitsPair ? kLimit - 1 : kLimit);
}

}  // namespace

std::array<std::uint8_t, kFramTextBytes> framBytesFromText(std::u16string_view text) {
  std::array<std::uint8_t, kFramTextBytes> bytes{};
  const std::u16string_view kept = fittingText(text);
  for (std::size_t i = 0; i < kept.size(); ++i) {
    bytes[2 * i] = static_cast<std::uint8_t>(kept[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<std::uint8_t>(kept[i] >> 8);
  }
  return bytes;
}

std::u16string framTextFromBytes(std::span<const std::uint8_t> bytes) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto unit = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (unit == u'\0') break;
    text += unit;
  }
  return text;
}

}  // namespace korvex::client
