#include "korvex/backends/win32/hid_path.h"

namespace korvex::win32 {

namespace {

constexpr std::size_t kHexDigits = 4;

char16_t lower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

// Whether text at `at` reads `word` (lower case), ignoring case.
bool readsAt(std::u16string_view text, std::size_t at, std::u16string_view word) {
  if (at > text.size() || text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[at + i]) != word[i]) return false;
  }
  return true;
}

// Four hex digits at `at`.
std::optional<std::uint16_t> hexAt(std::u16string_view text, std::size_t at) {
  if (at > text.size() || text.size() - at < kHexDigits) return std::nullopt;
  unsigned value = 0;
  for (std::size_t i = 0; i < kHexDigits; ++i) {
    const char16_t c = lower(text[at + i]);
    unsigned digit = 0;
    if (c >= u'0' && c <= u'9') {
      digit = c - u'0';
    } else if (c >= u'a' && c <= u'f') {
      digit = c - u'a' + 10;
    } else {
      return std::nullopt;
    }
    value = value * 16 + digit;
  }
  return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<HidPathIds> parseHidPathIds(std::u16string_view path) {
  constexpr std::u16string_view kVid = u"vid_";
  constexpr std::u16string_view kPid = u"&pid_";
  for (std::size_t at = 0; at < path.size(); ++at) {
    if (!readsAt(path, at, kVid)) continue;
    const std::size_t vidAt = at + kVid.size();
    const std::size_t pidAt = vidAt + kHexDigits + kPid.size();
    const auto vendor = hexAt(path, vidAt);
    const auto product = hexAt(path, pidAt);
    if (vendor && product && readsAt(path, vidAt + kHexDigits, kPid)) {
      return HidPathIds{*vendor, *product};
    }
  }
  return std::nullopt;
}

}  // namespace korvex::win32
