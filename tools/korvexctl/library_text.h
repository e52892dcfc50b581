// Text across the library's boundary: UTF-8 on korvexctl's side, the
// NUL-terminated UTF-16 of the exports on the other.
#pragma once

#include <korvex.h>

#include <cstdint>
#include <optional>
#include <string>

#include "client/hub_row_text.h"
#include "korvex/common/utf16.h"

namespace korvexctl {

using KString = std::basic_string<KORVEX_CHAR>;

inline KString toLibraryString(const std::string& utf8) {
  const std::u16string units = korvex::fromUtf8(utf8);
  return KString(units.begin(), units.end());
}

// A record's string field up to its NUL (never past the field), as UTF-8.
template <std::size_t N>
std::string fieldText(const KORVEX_CHAR (&units)[N]) {
  return korvex::toUtf8(korvex::client::recordText(units));
}

// A record that names a hub by its controller serial only, or nullopt when
// the serial does not fit into the record's field with its NUL.
std::optional<HubDeviceInfo> recordForSerial(const std::string& serial);

// "0x%04X", as the program's lists show an identifier.
std::string hex4(std::uint16_t value);

}  // namespace korvexctl
