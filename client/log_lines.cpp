#include "client/log_lines.h"

#include <array>

namespace korvex::client {

std::vector<std::u16string> splitLogLines(std::string_view bytes) {
  std::vector<std::u16string> lines;
  std::u16string line;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte == '\n') {
      if (!line.empty() && line.back() == u'\r') line.pop_back();
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line += static_cast<char16_t>(byte);
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

LogFields splitLogLine(std::u16string_view line) {
  LogFields f;
  const std::array<std::u16string*, 6> fields{&f.dateTime, &f.serial, &f.event,
                                              &f.vid,      &f.pid,    &f.product};
  std::size_t field = 0;
  std::size_t start = 0;
  while (field < 5) {
    const std::size_t comma = line.find(u',', start);
    if (comma == std::u16string_view::npos) break;
    *fields[field++] = std::u16string(line.substr(start, comma - start));
    start = comma + 1;
  }
  *fields[field] = std::u16string(line.substr(start));
  return f;
}

}  // namespace korvex::client
