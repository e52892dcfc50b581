// The simulated world that this program's korvex.dll sees: "world.json" in
// the program's folder (see gui_test_main.cpp). The library re-reads the
// file when its size or time stamp changes, so a test switches the
// scenario, or unplugs a device, by rewriting it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "korvex/platform/sim/sim_world.h"

namespace talvane::gui_test {

// "world.json" beside this program.
std::wstring worldFilePath();

// Replaces the world with the scenario worlds/<name>.json. Throws
// std::invalid_argument for an unknown name.
void loadScenario(std::string_view name, const std::wstring& path = worldFilePath());

// Takes the device off the downstream port of the hub whose controller has
// this serial, as a person unplugging it. False when there is no such hub
// or nothing on the port.
bool unplugDevice(std::u16string_view controllerSerial, const std::wstring& path = worldFilePath());

// The controller's requests are no longer delivered: every library call
// to it fails at once (a silent controller fails the same calls, but only
// after the library's reply time-out). False when there is no such
// controller.
bool silenceController(std::u16string_view controllerSerial,
                       const std::wstring& path = worldFilePath());

// Takes the hub whose controller has this serial off its root port, as
// unplugging its cable does: the controller is gone from the machine.
bool removeHub(std::u16string_view controllerSerial, const std::wstring& path = worldFilePath());

// The controller's firmware state in the world as it is on disk now (the
// library writes the world back after each power switch).
std::optional<korvex::sim::ControllerState> controllerState(
    std::u16string_view controllerSerial, const std::wstring& path = worldFilePath());

// Whether the controller's power flag is set in controllerState.
bool controllerPowerIsOn(std::u16string_view controllerSerial,
                         const std::wstring& path = worldFilePath());

}  // namespace talvane::gui_test
