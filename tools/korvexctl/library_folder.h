// Where the library keeps its two files, "korvex.dat" and "korvex.log", for
// this korvexctl process: the folder the library takes for its executable's.
#pragma once

#include <filesystem>

namespace korvexctl {

// Over the simulated world: see libraryFilesFolder() (simulated_world.h).
// On Windows: the folder of korvexctl.exe.
std::filesystem::path libraryFolder();

inline std::filesystem::path logFilePath() {
  return libraryFolder() / "korvex.log";
}

}  // namespace korvexctl
