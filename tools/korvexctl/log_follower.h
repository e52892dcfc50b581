// Follows the event log as the watchdog appends to it, like "tail -f".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvexctl {

class LogFollower {
 public:
  // Starts where the file ends now: lines already there are not reported.
  explicit LogFollower(std::filesystem::path file);

  // The complete lines appended since the last call (see splitLogLines). A
  // line still being written waits for its LF. A file that has shrunk was
  // deleted and begun anew: it is read from its start.
  std::vector<std::u16string> newLines();

 private:
  std::uintmax_t size() const;

  std::filesystem::path file_;
  std::uintmax_t offset_;
  std::string pending_;  // the start of a line still being written
};

}  // namespace korvexctl
