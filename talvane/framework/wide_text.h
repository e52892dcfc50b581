// Text between the program's portable decisions (UTF-16 as char16_t) and
// the Windows calls (UTF-16 as wchar_t): the same units, another type.
#pragma once

#include <cwchar>
#include <string>
#include <string_view>

namespace talvane {

inline std::wstring toWide(std::u16string_view text) {
  return std::wstring(text.begin(), text.end());
}

inline std::u16string fromWide(std::wstring_view text) {
  return std::u16string(text.begin(), text.end());
}

// A fixed-size field of a record: the text up to its NUL, or the whole
// field when it holds none.
template <std::size_t N>
std::wstring fieldText(const wchar_t (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != L'\0') ++length;
  return std::wstring(field, length);
}

}  // namespace talvane
