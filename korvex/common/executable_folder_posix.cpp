#include <system_error>

#include "korvex/common/executable_folder.h"

namespace korvex {

std::filesystem::path executableFolder() {
  std::error_code error;
  const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return executable.parent_path();
}

}  // namespace korvex
