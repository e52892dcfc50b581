#include "korvex/common/state_folder.h"

#include <cstdlib>

namespace korvex {

namespace {

std::optional<std::string> variable(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

bool usable(const std::optional<std::string>& folder) {
  return folder && !folder->empty() && std::filesystem::path(*folder).is_absolute();
}

}  // namespace

std::filesystem::path stateFolderFor(const StateFolderSettings& settings) {
  if (settings.stateDir && !settings.stateDir->empty()) return *settings.stateDir;
  if (usable(settings.xdgStateHome))
    return std::filesystem::path(*settings.xdgStateHome) / "korvex";
  if (usable(settings.home)) {
    return std::filesystem::path(*settings.home) / ".local" / "state" / "korvex";
  }
  return kServiceStateFolder;
}

StateFolderSettings environmentStateSettings() {
  return {variable(kStateDirVariable), variable("XDG_STATE_HOME"), variable("HOME")};
}

}  // namespace korvex
