// The number at the start of a text, read the way the C library's wcstol
// and _wtoi read one, for the dialogs that take a number from an edit.
#pragma once

#include <string_view>

namespace talvane {

// Leading white space, an optional sign, for base 16 an optional "0x"/"0X",
// then the digits of the base up to the first other character. A text with
// no digits reads as 0. The value saturates into [min, max] instead of
// overflowing, so any text is safe. Only ASCII counts as white space or
// digits. base is 10 or 16.
int leadingNumber(std::u16string_view text, int base, int min, int max);

}  // namespace talvane
