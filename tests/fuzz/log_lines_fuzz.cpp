// The event log's bytes split as the log viewer shows them, whatever the
// file holds: the lines, joined again, are the file with each CR before an
// LF dropped, and each line's fields, joined again, are the line.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "client/log_lines.h"

using namespace korvex::client;

namespace {

void require(bool holds) {
  if (!holds) std::abort();
}

// The file as the viewer should read it: CR LF as LF, each byte as the
// character with its code.
std::u16string expectedText(std::string_view bytes) {
  std::u16string text;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]));
  }
  return text;
}

void checkFields(std::u16string_view line) {
  const LogFields f = splitLogLine(line);
  const std::u16string* fields[] = {&f.dateTime, &f.serial, &f.event, &f.vid, &f.pid, &f.product};
  const auto commas = static_cast<std::size_t>(std::count(line.begin(), line.end(), u','));
  // The line reaches min(commas, 5) + 1 fields; those before the last hold
  // no comma, and the ones it does not reach are empty.
  const std::size_t reached = std::min<std::size_t>(commas, 5) + 1;
  std::u16string joined;
  for (std::size_t i = 0; i < 6; ++i) {
    if (i >= reached) {
      require(fields[i]->empty());
      continue;
    }
    if (i + 1 < reached) require(fields[i]->find(u',') == std::u16string::npos);
    if (i > 0) joined += u',';
    joined += *fields[i];
  }
  require(joined == line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read past the file's bytes is caught.
  const std::vector<char> file(data, data + size);
  const std::string_view bytes(file.data(), file.size());
  const std::vector<std::u16string> lines = splitLogLines(bytes);

  const auto feeds = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
  const bool unended = !bytes.empty() && bytes.back() != '\n';
  require(lines.size() == feeds + (unended ? 1 : 0));
  std::u16string joined;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    require(lines[i].find(u'\n') == std::u16string::npos);
    joined += lines[i];
    if (i + 1 < lines.size() || !unended) joined += u'\n';
    checkFields(lines[i]);
  }
  require(joined == expectedText(bytes));
  return 0;
}
