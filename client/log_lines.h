// Reading the event log "korvex.log" as the log viewer shows it: the file's
// lines, oldest first, each split into the fields of the library's line
//   "YYYY/MM/DD hh:mm:ss,SERIAL,CODE,0xVVVV,0xPPPP,PRODUCT\r\n".
// Pure functions over bytes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvex::client {

struct LogFields {
  std::u16string dateTime;  // before the first comma
  std::u16string serial;    // between the first and the second comma
  std::u16string event;     // the event code, as it stands
  std::u16string vid;
  std::u16string pid;
  std::u16string product;  // everything after the fifth comma, commas included
};

// The file's lines in file order. A line ends at LF, and a CR right before
// the LF is dropped with it; a last line without LF counts too. Each byte
// becomes the character with the same code (0x80..0xFF become
// U+0080..U+00FF). An empty file has no lines; an empty line is a line.
std::vector<std::u16string> splitLogLines(std::string_view bytes);

// Splits one line at its first five commas, left to right. Fields the line
// does not reach are empty; nothing is trimmed or unquoted.
LogFields splitLogLine(std::u16string_view line);

}  // namespace korvex::client
