#include "log_follower.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "client/log_lines.h"

namespace korvexctl {

LogFollower::LogFollower(std::filesystem::path file) : file_(std::move(file)), offset_(size()) {}

std::uintmax_t LogFollower::size() const {
  std::error_code ec;
  const auto n = std::filesystem::file_size(file_, ec);
  return ec ? 0 : n;
}

std::vector<std::u16string> LogFollower::newLines() {
  const std::uintmax_t now = size();
  if (now < offset_) {
    offset_ = 0;
    pending_.clear();
  }
  if (now == offset_) return {};
  std::ifstream in(file_, std::ios::binary);
  in.seekg(static_cast<std::streamoff>(offset_));
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  offset_ += bytes.size();
  pending_ += bytes;
  const std::size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return {};
  auto lines = korvex::client::splitLogLines(std::string_view(pending_).substr(0, end + 1));
  pending_.erase(0, end + 1);
  return lines;
}

}  // namespace korvexctl
