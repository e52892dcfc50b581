// korvexctl over the simulated world: the one place that knows the
// simulator. It tells where the library keeps its files and changes the
// world file as a person at the machine would change the real one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "result.h"

namespace korvexctl {

// Makes the library, once loaded, bind to this world file: its absolute name
// goes into KORVEX_SIM_WORLD, so that the files the library keeps beside
// the world do not depend on the current folder. False when it cannot.
bool bindWorldFile(const std::string& file);

// Whether bindWorldFile bound one: korvexctl then runs over the simulated
// library, else over the system's.
bool runsOverWorld();

// The world file the library binds to (KORVEX_SIM_WORLD), or nullopt.
std::optional<std::filesystem::path> boundWorldFile();

// Where the library keeps "korvex.dat" and "korvex.log": the world's
// "executableFolder" when it sets one, else the world file's own folder;
// without a world file, korvexctl's folder.
std::filesystem::path libraryFilesFolder();

// One change of a hub's downstream port.
struct SimChange {
  std::string action;  // "unplug", "plug", "hang" or "swap"
  std::string serial;  // the hub's controller serial
  std::optional<std::uint16_t> vid;
  std::optional<std::uint16_t> pid;
};

// unplug: the device leaves the port and is kept for a later plug.
// plug: the kept device (or a new one with vid and pid) goes back on the
// port; while the hub's power is off it waits unpowered.
// hang: the device stays connected but unconfigured.
// swap: the device gets the vid and pid given.
// The result names the device concerned, or why nothing changed.
Result applySimChange(const SimChange& change);

}  // namespace korvexctl
