// A world bound to a file: notices when the file changes on disk and writes
// the world back atomically, so that processes run one after another (or a
// user editing the file) share one world.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "simulator/world.h"

namespace korvex::sim {

class WorldFile {
 public:
  explicit WorldFile(std::filesystem::path file) : file_(std::move(file)) {}

  const std::filesystem::path& path() const { return file_; }

  // Reads and parses the file and remembers its stamp. Throws
  // std::runtime_error (naming the file) when it cannot be read or parsed.
  World load();

  // True when the file's modification time or size differs from what the
  // last load or save saw.
  bool changedOnDisk() const;

  // Remembers the file's current stamp without reading it, so that a file
  // that failed to load is not tried again until it changes.
  void acceptCurrentStamp() { stamp_ = currentStamp(); }

  // Writes the world to a temporary file in the same folder and renames it
  // over the file. Throws std::runtime_error when that fails.
  void save(const World& world);

 private:
  struct Stamp {
    std::filesystem::file_time_type modified{};
    std::uintmax_t size = 0;
    bool operator==(const Stamp&) const = default;
  };
  std::optional<Stamp> currentStamp() const;

  std::filesystem::path file_;
  std::optional<Stamp> stamp_;
};

}  // namespace korvex::sim
