#include "talvane/dialogs/setting_clamp.h"

#include <limits>

#include "client/number_text.h"

namespace talvane {

using korvex::client::leadingNumber;

int settingNumber(std::u16string_view text) {
  return leadingNumber(text, 10, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}

std::optional<std::u16string> clampedSettingText(std::u16string_view text) {
  const int n = settingNumber(text);
  if (n < 1) return u"1";
  if (n > 255) return u"255";
  return std::nullopt;
}

std::uint8_t settingByte(std::u16string_view text) {
  return static_cast<std::uint8_t>(settingNumber(text) & 0xFF);
}

}  // namespace talvane
