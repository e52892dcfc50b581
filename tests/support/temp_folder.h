// A fresh folder under the system's temporary folder, removed with
// everything in it when the object goes. Its name carries the process id
// and a running number, so parallel runs and several folders in one run
// never meet.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

namespace korvex::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "korvex-test-",
                      const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
    static std::atomic<int> serial{0};
    path_ = base / (prefix + std::to_string(::getpid()) + "-" + std::to_string(++serial));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() { std::filesystem::remove_all(path_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace korvex::testing
