// Where the library keeps its two files, "korvex.dat" and "korvex.log", for
// this korvexctl process: the folder the library takes for its executable's.
#pragma once

#include <filesystem>
#include <optional>

namespace korvexctl {

// Over the simulated world: the world's "executableFolder" when it sets one,
// else the world file's own folder; without a world file, korvexctl's
// folder. On Windows: the folder of korvexctl.exe.
std::filesystem::path libraryFolder();

#ifdef KORVEXCTL_SIMULATED
// The world file the library is bound to, as the simulator chooses it: the
// file named by KORVEX_SIM_WORLD (which --world sets), else "world.json"
// beside korvexctl when it exists.
std::optional<std::filesystem::path> simulatedWorldFile();
#endif

inline std::filesystem::path logFilePath() {
  return libraryFolder() / "korvex.log";
}

}  // namespace korvexctl
