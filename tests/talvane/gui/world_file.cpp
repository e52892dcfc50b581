#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "child_process.h"
#include "window_probe.h"

namespace talvane::gui_test {

namespace {

std::string readFile(const std::wstring& path) {
  std::ostringstream bytes;
  bytes << std::ifstream(std::filesystem::path(path), std::ios::binary).rdbuf();
  return bytes.str();
}

void writeWorld(const std::string& text) {
  if (text.size() < 2 || !writeFile(besideProgram(L"world.json"), text)) {
    throw std::runtime_error("no world written");
  }
}

}  // namespace

std::wstring besideProgram(std::wstring_view name) {
  return korvex::wine::ownFolder() + std::wstring(name);
}

bool writeFile(const std::wstring& path, std::string_view bytes) {
  std::ofstream(std::filesystem::path(path + L".new"), std::ios::binary) << bytes;
  return MoveFileExW((path + L".new").c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool fileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void loadWorld(std::string_view scenario) {
  const Json worlds = Json::parse(readFile(besideProgram(L"scenario_worlds.json")));
  std::string text = worlds.at(std::string(scenario)).dump(1);
  // Of the same size, within the time stamp's resolution, it would go unseen.
  if (readFile(besideProgram(L"world.json")).size() == text.size()) text += '\n';
  writeWorld(text);
}

void changeWorld(const std::function<void(Json& world)>& change) {
  Json world = Json::parse(readFile(besideProgram(L"world.json")));
  change(world);
  writeWorld(world.dump());
}

Json& hubPort(Json& world, std::string_view serial) {
  for (Json& host : world.at("hostControllers")) {
    for (Json& port : host.at("rootHub").at("ports")) {
      if (port.is_object() &&
          port.value("/device/hub/ports/1/device/serial"_json_pointer, "") == serial) {
        return port;
      }
    }
  }
  throw std::invalid_argument("no hub with the controller " + std::string(serial));
}

Json controllerNow(std::string_view serial) {
  Json world = Json::parse(readFile(besideProgram(L"world.json")));
  return hubPort(world, serial).at("/device/hub/ports/1/device/controller"_json_pointer);
}

}  // namespace talvane::gui_test
