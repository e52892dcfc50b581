// What the dialog tests change around the program: the simulated world
// (a controller that stops answering, a hub taken away whole) and the
// library's event log beside this program.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "korvex/platform/sim/sim_world.h"

namespace talvane::gui_test {

// The controller's requests are no longer delivered: every library call
// to it fails at once (a silent controller fails the same calls, but only
// after the library's reply time-out). False when there is no such
// controller.
bool silenceController(std::u16string_view serial);

// Takes the hub whose controller has this serial off its root port, as
// unplugging its cable does: the controller is gone from the machine.
bool removeHub(std::u16string_view serial);

// The controller's firmware state as the world file holds it now.
std::optional<korvex::sim::ControllerState> controllerState(std::u16string_view serial);

// "korvex.log" beside this program, where the library keeps its log.
std::wstring libraryLogFile();

// While it lives, the process's current folder is a fresh folder holding
// a "korvex.log" of its own (the decoy), so that a dialog that wrongly used
// the current folder would show or delete the wrong file.
class CurrentFolderElsewhere {
 public:
  CurrentFolderElsewhere();
  ~CurrentFolderElsewhere();
  CurrentFolderElsewhere(const CurrentFolderElsewhere&) = delete;
  CurrentFolderElsewhere& operator=(const CurrentFolderElsewhere&) = delete;

  std::wstring decoyLog() const { return folder_ + L"korvex.log"; }

 private:
  std::wstring before_;
  std::wstring folder_;
};

}  // namespace talvane::gui_test
