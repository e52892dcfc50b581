// Expands a sysfs tree written as text into a folder, for the Linux
// backend's tests. The text, one item a line:
//   [sys/bus/usb/devices/1-1]   a folder (and the one the lines below fill)
//   maxchild = 4                a file holding "4\n" (\n in the text: a line break)
//   descriptors : 12 01 00 02   a file holding these bytes (hex)
//   | ...                       expected output, skipped here
//   # ...                       a comment
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace korvex::testing {

inline std::string unescapeLines(std::string text) {
  for (std::size_t at = 0; (at = text.find("\\n", at)) != std::string::npos;) {
    text.replace(at, 2, "\n");
  }
  return text;
}

inline void expandSysfsTree(const std::filesystem::path& treeFile,
                            const std::filesystem::path& root) {
  std::ifstream in(treeFile);
  if (!in) throw std::runtime_error("no tree file " + treeFile.string());
  std::filesystem::path folder = root;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#' || line[0] == '|') continue;
    if (line[0] == '[') {
      folder = root / line.substr(1, line.find(']') - 1);
      std::filesystem::create_directories(folder);
      continue;
    }
    const auto mark = line.find_first_of("=:");
    if (mark == std::string::npos) throw std::runtime_error("bad tree line: " + line);
    const std::string name = line.substr(0, line.find_last_not_of(' ', mark - 1) + 1);
    const std::string value = line.substr(std::min(line.size(), mark + 2));
    std::ofstream out(folder / name, std::ios::binary);
    if (line[mark] == '=') {
      out << unescapeLines(value) << '\n';
    } else {
      std::istringstream bytes(value);
      for (unsigned byte = 0; bytes >> std::hex >> byte;) out.put(static_cast<char>(byte));
    }
  }
}

}  // namespace korvex::testing
