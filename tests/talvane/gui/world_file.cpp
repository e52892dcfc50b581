#include "world_file.h"

#include <windows.h>

#include <stdexcept>
#include <string>

#include "child_process.h"
#include "folder_files.h"
#include "korvex/platform/sim/sim_platform.h"
#include "scenario_worlds.h"

namespace talvane::gui_test {

namespace {

long long fileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::unique_ptr<korvex::sim::SimPlatform> openWorld(const std::wstring& path) {
  return korvex::sim::SimPlatform::fromFile(std::filesystem::path(path));
}

std::string_view scenarioJson(std::string_view name) {
  for (const ScenarioWorld& world : kScenarioWorlds) {
    if (world.name == name) return world.json;
  }
  throw std::invalid_argument("no scenario world named " + std::string(name));
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

std::wstring worldFilePath() {
  return korvex::wine::ownFolder() + L"world.json";
}

void loadScenario(std::string_view name, const std::wstring& path) {
  std::string text(scenarioJson(name));
  // The library sees a change by the file's size or time stamp; a rewrite
  // of the same text within the time stamp's resolution would go unseen.
  if (fileSize(path) == static_cast<long long>(text.size())) text += '\n';
  if (!writeFile(path, text)) throw std::runtime_error("cannot write the world file");
}

bool unplugDevice(std::u16string_view controllerSerial, const std::wstring& path) {
  bool unplugged = false;
  openWorld(path)->changeWorld([&](korvex::sim::World& world) {
    const auto site = korvex::sim::findController(world, controllerSerial);
    if (site && site->downstream != nullptr && site->downstream->device) {
      site->downstream->device.reset();
      unplugged = true;
    }
  });
  return unplugged;
}

bool silenceController(std::u16string_view controllerSerial, const std::wstring& path) {
  bool silenced = false;
  openWorld(path)->changeWorld([&](korvex::sim::World& world) {
    const auto site = korvex::sim::findController(world, controllerSerial);
    if (site && site->firmware != nullptr) {
      site->firmware->faults.setFeatureFails = true;
      silenced = true;
    }
  });
  return silenced;
}

bool removeHub(std::u16string_view controllerSerial, const std::wstring& path) {
  bool removed = false;
  openWorld(path)->changeWorld([&](korvex::sim::World& world) {
    for (korvex::sim::HostController& host : world.hostControllers) {
      for (korvex::sim::Port& port : host.rootHub.ports) {
        if (port.device && holdsController(*port.device, controllerSerial)) {
          port.device.reset();
          removed = true;
        }
      }
    }
  });
  return removed;
}

std::optional<korvex::sim::ControllerState> controllerState(std::u16string_view controllerSerial,
                                                            const std::wstring& path) {
  return openWorld(path)->controller(controllerSerial);
}

bool controllerPowerIsOn(std::u16string_view controllerSerial, const std::wstring& path) {
  const auto state = controllerState(controllerSerial, path);
  return state && state->power;
}

}  // namespace talvane::gui_test
