#include "dialog_world.h"

#include <windows.h>

#include <vector>

#include "child_process.h"
#include "folder_files.h"
#include "korvex/platform/sim/sim_platform.h"
#include "world_file.h"

namespace talvane::gui_test {

namespace {

std::unique_ptr<korvex::sim::SimPlatform> boundWorld() {
  return korvex::sim::SimPlatform::fromFile(std::filesystem::path(worldFilePath()));
}

// Whether the device is a hub with the controller on one of its ports.
bool holdsController(const korvex::sim::Device& device, std::u16string_view serial) {
  if (!device.hub) return false;
  for (const korvex::sim::Port& port : device.hub->ports) {
    if (port.device && port.device->controller && port.device->serial == serial) return true;
  }
  return false;
}

}  // namespace

bool silenceController(std::u16string_view serial) {
  bool silenced = false;
  boundWorld()->changeWorld([&](korvex::sim::World& world) {
    const auto site = korvex::sim::findController(world, serial);
    if (site && site->firmware != nullptr) {
      site->firmware->faults.setFeatureFails = true;
      silenced = true;
    }
  });
  return silenced;
}

bool removeHub(std::u16string_view serial) {
  bool removed = false;
  boundWorld()->changeWorld([&](korvex::sim::World& world) {
    for (korvex::sim::HostController& host : world.hostControllers) {
      for (korvex::sim::Port& port : host.rootHub.ports) {
        if (port.device && holdsController(*port.device, serial)) {
          port.device.reset();
          removed = true;
        }
      }
    }
  });
  return removed;
}

std::optional<korvex::sim::ControllerState> controllerState(std::u16string_view serial) {
  return boundWorld()->controller(serial);
}

std::wstring libraryLogFile() {
  return korvex::wine::ownFolder() + L"korvex.log";
}

CurrentFolderElsewhere::CurrentFolderElsewhere()
    : folder_(korvex::wine::ownFolder() + L"elsewhere\\") {
  std::vector<wchar_t> current(GetCurrentDirectoryW(0, nullptr) + 1);
  GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
  before_ = current.data();
  CreateDirectoryW(folder_.c_str(), nullptr);
  writeFile(decoyLog(), "2001/01/01 00:00:00,DECOY,3,0x0000,0x0000,Decoy\r\n");
  SetCurrentDirectoryW(folder_.c_str());
}

CurrentFolderElsewhere::~CurrentFolderElsewhere() {
  SetCurrentDirectoryW(before_.c_str());
  removeFolderTree(folder_);
}

}  // namespace talvane::gui_test
