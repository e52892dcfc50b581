// Where the library keeps its two files, "korvex.dat" and "korvex.log", for
// this korvexctl process: the folder the library takes for its executable's.
#pragma once

#include <filesystem>

namespace korvexctl {

// Over the simulated world: the world's "executableFolder" when it sets one,
// else the world file's own folder; without a world file, korvexctl's
// folder. On Windows: the folder of korvexctl.exe.
std::filesystem::path libraryFolder();

inline std::filesystem::path logFilePath() {
  return libraryFolder() / "korvex.log";
}

}  // namespace korvexctl
