// Builders for simulated USB trees, in the world file's JSON.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

namespace korvex::testing {

using Json = nlohmann::json;

// A configured device with strings.
Json usbDevice(unsigned vid, unsigned pid, const std::string& product = "",
               const std::string& serial = "");

// A port holding the device; a null Json is an empty port.
Json port(const Json& device);

// A one-port hub carrying the controller: the downstream device (or none)
// on port 1, the controller on port 2. controller: extra members of the
// controller (state, "faults").
Json controllerHub(const std::string& serial, const Json& downstream,
                   const Json& controller = Json::object());

// A hub device with the given ports (each from port()).
Json plainHub(const std::vector<Json>& ports);

// A host controller whose root hub has the given ports.
Json hostController(std::optional<int> number, std::optional<std::string> interfacePath,
                    const std::vector<Json>& rootPorts);

std::string treeWorld(const std::vector<Json>& hostControllers);

}  // namespace korvex::testing
