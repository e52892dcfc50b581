#include "simulator/world_file.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <system_error>

#include "korvex/common/executable_folder.h"
#include "simulator/world.h"

namespace korvex::sim {

namespace fs = std::filesystem;

namespace {

std::string named(const fs::path& file) {
  return "world file " + file.string();
}

fs::path temporaryNextTo(const fs::path& file) {
  std::random_device random;
  fs::path tmp = file;
  tmp += ".tmp" + std::to_string(random());
  return tmp;
}

}  // namespace

std::optional<WorldFile::Stamp> WorldFile::currentStamp() const {
  std::error_code ec;
  Stamp s;
  s.modified = fs::last_write_time(file_, ec);
  if (ec) return std::nullopt;
  s.size = fs::file_size(file_, ec);
  if (ec) return std::nullopt;
  return s;
}

World WorldFile::load() {
  // The stamp is taken before reading: a change made while reading shows up
  // as a change at the next check.
  const auto stamp = currentStamp();
  std::ifstream in(file_, std::ios::binary);
  if (!in) throw std::runtime_error(named(file_) + ": cannot be opened");
  std::ostringstream text;
  text << in.rdbuf();
  World world;
  try {
    world = worldFromJson(text.str());
  } catch (const std::exception& e) {
    throw std::runtime_error(named(file_) + ": " + e.what());
  }
  stamp_ = stamp;
  return world;
}

bool WorldFile::changedOnDisk() const {
  return currentStamp() != stamp_;
}

void WorldFile::save(const World& world) {
  const std::string text = worldToJson(world);
  const fs::path tmp = temporaryNextTo(file_);
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
      out.close();
      std::error_code ignored;
      fs::remove(tmp, ignored);
      throw std::runtime_error(named(file_) + ": cannot write " + tmp.string());
    }
  }
  std::error_code ec;
  fs::rename(tmp, file_, ec);
  if (ec) {
    // Some platforms refuse to rename over an existing file.
    std::error_code ignored;
    fs::remove(file_, ignored);
    fs::rename(tmp, file_, ec);
  }
  if (ec) {
    std::error_code ignored;
    fs::remove(tmp, ignored);
    throw std::runtime_error(named(file_) + ": cannot replace: " + ec.message());
  }
  stamp_ = currentStamp();
}

std::optional<fs::path> systemWorldFile() {
  const char* named = std::getenv("KORVEX_SIM_WORLD");
  if (named != nullptr && *named != '\0') return fs::path(named);
  const fs::path folder = executableFolder();
  if (folder.empty()) return std::nullopt;
  const fs::path beside = folder / "world.json";
  std::error_code ec;
  if (fs::is_regular_file(beside, ec)) return beside;
  return std::nullopt;
}

}  // namespace korvex::sim
