// Where the library keeps its two files, "korvex.dat" and "korvex.log", for
// this korvexctl process.
#pragma once

#include <filesystem>
#include <string>

namespace korvexctl {

// Over the simulated world: see libraryFilesFolder() (simulated_world.h).
// On Linux: the state folder (korvex/common/state_folder.h).
// On Windows: the folder of korvexctl.exe.
std::filesystem::path libraryFolder();

// --state-dir: the library, once loaded, keeps its files in folder (made
// absolute, so that it does not depend on the current folder). False when
// the folder is empty, or on Windows, where the files stay beside the
// executable.
bool useStateFolder(const std::string& folder);

inline std::filesystem::path logFilePath() {
  return libraryFolder() / "korvex.log";
}

}  // namespace korvexctl
