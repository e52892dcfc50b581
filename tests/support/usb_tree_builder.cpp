#include "usb_tree_builder.h"

namespace korvex::testing {

Json usbDevice(unsigned vid, unsigned pid, const std::string& product, const std::string& serial) {
  Json d{{"vid", vid}, {"pid", pid}, {"bcdDevice", 0x0100}};
  if (!product.empty()) d["product"] = product;
  if (!serial.empty()) d["serial"] = serial;
  return d;
}

Json port(const Json& device) {
  if (device.is_null()) return Json();
  return Json{{"device", device}};
}

Json controllerHub(const std::string& serial, const Json& downstream, const Json& controller) {
  Json controllerDevice{{"serial", serial}, {"controller", controller}};
  return Json{{"vid", 0x05E3},
              {"pid", 0x0610},
              {"hub", {{"ports", Json::array({port(downstream), port(controllerDevice)})}}}};
}

Json plainHub(const std::vector<Json>& ports) {
  return Json{{"vid", 0x2109}, {"pid", 0x2817}, {"hub", {{"ports", ports}}}};
}

Json hostController(std::optional<int> number, std::optional<std::string> interfacePath,
                    const std::vector<Json>& rootPorts) {
  Json hc{{"rootHub", {{"ports", rootPorts}}}};
  if (number) hc["number"] = *number;
  if (interfacePath) hc["interfacePath"] = *interfacePath;
  return hc;
}

std::string treeWorld(const std::vector<Json>& hostControllers) {
  return Json{{"hostControllers", hostControllers}}.dump();
}

}  // namespace korvex::testing
