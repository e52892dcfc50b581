// Where the library keeps its files on systems other than Windows (where
// they stay beside the executable): a folder named by KORVEX_STATE_DIR
// (korvexctl --state-dir, the service's unit), else the user's state folder
// $XDG_STATE_HOME/korvex, else ~/.local/state/korvex, else, for a process
// with no home (a system service), /var/lib/korvex.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace korvex {

inline constexpr const char* kStateDirVariable = "KORVEX_STATE_DIR";
inline constexpr const char* kServiceStateFolder = "/var/lib/korvex";

struct StateFolderSettings {
  std::optional<std::string> stateDir;      // KORVEX_STATE_DIR
  std::optional<std::string> xdgStateHome;  // XDG_STATE_HOME
  std::optional<std::string> home;          // HOME
};

// The folder the settings name. Empty and relative values of the XDG and
// home variables are ignored, as the XDG rules ask.
std::filesystem::path stateFolderFor(const StateFolderSettings& settings);

// The settings of this process's environment.
StateFolderSettings environmentStateSettings();

}  // namespace korvex
