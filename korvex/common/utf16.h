// Bounded helpers for the NUL-terminated UTF-16 strings that cross the
// library's boundary. Every helper reads at most the given number of units,
// so a string without a NUL never makes it read past its field.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

// Length up to the first NUL, or maxUnits when there is none within them.
std::size_t boundedLength(const char16_t* s, std::size_t maxUnits);

// Exact, case-sensitive comparison up to the terminating NUL. A string that
// has no NUL within maxUnits units equals nothing.
bool equalTerminated(const char16_t* a, const char16_t* b, std::size_t maxUnits);

// Copies src (read up to its NUL or maxSrcUnits) into dst, always leaving a
// NUL; the units after it are zeroed. Returns the number of units copied.
std::size_t copyTerminated(std::span<char16_t> dst, const char16_t* src, std::size_t maxSrcUnits);

// UTF-8 and UTF-16. An invalid sequence, or an unpaired surrogate, becomes
// U+FFFD.
std::string toUtf8(std::u16string_view s);
std::u16string fromUtf8(std::string_view s);

}  // namespace korvex
