// The world file format, read: JSON text to World.
#include <chrono>
#include <stdexcept>

#include "korvex/seam/controller_protocol.h"
#include "simulator/json_fields.h"
#include "simulator/world.h"

namespace korvex::sim {

namespace {

std::string indexed(const std::string& where, std::size_t i) {
  return where + "[" + std::to_string(i) + "]";
}

const Json& arrayAt(const Fields& f, std::string_view key, const Json& empty) {
  const Json* j = f.find(key);
  if (j == nullptr) return empty;
  if (!j->is_array()) failAt(f.at(key), "expected an array");
  return *j;
}

HidFaults readHidFaults(const Fields& owner) {
  HidFaults faults;
  const Json* j = owner.find("faults");
  if (j == nullptr) return faults;
  const Fields f(*j, owner.at("faults"),
                 {"detailFails", "openFails", "attributesFails", "serialFails", "capsFails"});
  faults.detailFails = f.flag("detailFails");
  faults.openFails = f.flag("openFails");
  faults.attributesFails = f.flag("attributesFails");
  faults.serialFails = f.flag("serialFails");
  faults.capsFails = f.flag("capsFails");
  return faults;
}

// The endpoint fields, flat in the given object.
HidEndpoint readHidEndpoint(const Fields& f) {
  HidEndpoint hid;
  hid.path = f.text("path");
  hid.versionNumber = f.number<std::uint16_t>("versionNumber", hid.versionNumber);
  hid.inputReportByteLength = f.number<std::uint16_t>("inputReportByteLength", 0);
  hid.outputReportByteLength = f.number<std::uint16_t>("outputReportByteLength", 0);
  hid.featureReportByteLength =
      f.number<std::uint16_t>("featureReportByteLength", hid.featureReportByteLength);
  hid.faults = readHidFaults(f);
  return hid;
}

// Lists of keys are made on first use, so that a world can be read while
// the program's static objects are still being constructed.
std::initializer_list<std::string_view> hidEndpointKeys() {
  static const std::initializer_list<std::string_view> keys = {"path",
                                                               "versionNumber",
                                                               "inputReportByteLength",
                                                               "outputReportByteLength",
                                                               "featureReportByteLength",
                                                               "faults"};
  return keys;
}

FirmwareFaults readFirmwareFaults(const Fields& owner) {
  FirmwareFaults faults;
  const Json* j = owner.find("faults");
  if (j == nullptr) return faults;
  const Fields f(
      *j, owner.at("faults"),
      {"silent", "replyDelayMs", "setFeatureFails", "silentAfterRequests", "statusReply"});
  faults.silent = f.flag("silent");
  faults.replyDelayMs = f.number<std::uint32_t>("replyDelayMs", 0);
  faults.setFeatureFails = f.flag("setFeatureFails");
  faults.silentAfterRequests = f.optionalNumber<std::uint32_t>("silentAfterRequests");
  faults.statusReply = f.optionalNumber<std::uint8_t>("statusReply");
  return faults;
}

template <std::size_t N>
void copyBytes(std::array<std::uint8_t, N>& dst, const std::vector<std::uint8_t>& src) {
  dst.fill(0);
  std::copy(src.begin(), src.end(), dst.begin());
}

std::vector<std::uint8_t> byteList(const Fields& f, std::string_view key) {
  std::vector<std::uint8_t> out;
  for (const std::uint64_t v : f.numbers(key, 0xFF)) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

// A controller's state and firmware faults; in the tree also its "hid".
Firmware readFirmware(const Fields& f) {
  Firmware fw;
  ControllerState& s = fw.state;
  s.power = f.flag("power", true);
  copyBytes(s.registers, f.bytes("registers", kRegisterCount));
  copyBytes(s.fram, f.bytes("fram", kFramBytes));
  copyBytes(s.usbSerial, f.bytes("usbSerial", kUsbSerialBytes));
  s.fault = f.number<std::uint8_t>("fault", 0);
  s.resetValues = byteList(f, "resetValues");
  s.picWriteSteps = byteList(f, "picWriteSteps");
  fw.faults = readFirmwareFaults(f);
  return fw;
}

std::initializer_list<std::string_view> firmwareKeys() {
  static const std::initializer_list<std::string_view> keys = {
      "power", "registers", "fram", "usbSerial", "fault", "resetValues", "picWriteSteps", "faults"};
  return keys;
}

Firmware readStandaloneFirmware(const Json& j, const std::string& where) {
  return readFirmware(Fields(j, where, firmwareKeys()));
}

DeviceController readDeviceController(const Json& j, const std::string& where) {
  const Fields f(j, where, firmwareKeys(), {"hid"});
  DeviceController c;
  c.firmware = readFirmware(f);
  if (const Json* hid = f.find("hid")) {
    c.hid = readHidEndpoint(Fields(*hid, f.at("hid"), hidEndpointKeys()));
  }
  return c;
}

StringFaultRule readStringFault(const Json& j, const std::string& where) {
  const Fields f(j, where, {"index", "language", "fault"});
  StringFaultRule rule;
  rule.index = f.number<std::uint8_t>("index", 0);
  rule.language = f.optionalNumber<std::uint16_t>("language");
  if (f.find("fault") == nullptr) failAt(f.at("fault"), "missing");
  rule.fault = static_cast<StringFault>(
      f.choice("fault", {"fails", "shortReply", "length2", "oddLength", "wrongType"}, 0));
  return rule;
}

UsbDeviceFaults readDeviceFaults(const Fields& owner) {
  UsbDeviceFaults faults;
  const Json* j = owner.find("faults");
  if (j == nullptr) return faults;
  const Fields f(*j, owner.at("faults"),
                 {"connectionInfoFails", "connectionNameFails", "descriptorRequestFails",
                  "configDescriptor", "languageListFails", "strings"});
  faults.connectionInfoFails = f.flag("connectionInfoFails");
  faults.connectionNameFails = f.flag("connectionNameFails");
  faults.descriptorRequestFails = f.flag("descriptorRequestFails");
  faults.configDescriptor = static_cast<ConfigDescriptorFault>(
      f.choice("configDescriptor", {"ok", "fails", "short", "lyingTotalLength"}, 0));
  faults.languageListFails = f.flag("languageListFails");
  const Json empty = Json::array();
  const Json& rules = arrayAt(f, "strings", empty);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    faults.strings.push_back(readStringFault(rules[i], indexed(f.at("strings"), i)));
  }
  return faults;
}

Hub readHub(const Json& j, const std::string& where);

Device readDevice(const Json& j, const std::string& where) {
  const Fields f(j, where,
                 {"vid", "pid", "bcdDevice", "class", "subclass", "speed",
                  "currentConfigurationValue", "connectionStatus", "serial", "product",
                  "serialIndex", "productIndex", "languages", "hub", "controller", "faults"});
  Device d;
  if (const Json* c = f.find("controller")) {
    d.controller = readDeviceController(*c, f.at("controller"));
    d.vendorId = protocol::kControllerVendorId;
    d.productId = protocol::kControllerProductId;
  }
  if (const Json* h = f.find("hub")) {
    d.hub.emplace(readHub(*h, f.at("hub")));
    d.deviceClass = 9;
  }
  d.vendorId = f.number<std::uint16_t>("vid", d.vendorId);
  d.productId = f.number<std::uint16_t>("pid", d.productId);
  d.bcdDevice = f.number<std::uint16_t>("bcdDevice", 0);
  d.deviceClass = f.number<std::uint8_t>("class", d.deviceClass);
  d.deviceSubClass = f.number<std::uint8_t>("subclass", 0);
  if (const Json* s = f.find("speed")) {
    d.speed = static_cast<std::uint8_t>(Fields::readNumber(*s, f.at("speed"), 2));
  }
  d.currentConfigurationValue = f.number<std::uint8_t>("currentConfigurationValue", 1);
  d.connectionStatus = f.number<std::uint32_t>("connectionStatus", 1);
  d.serial = f.text("serial");
  d.product = f.text("product");
  d.serialIndex = f.number<std::uint8_t>("serialIndex", d.serial.empty() ? 0 : 3);
  d.productIndex = f.number<std::uint8_t>("productIndex", d.product.empty() ? 0 : 2);
  if (f.find("languages") != nullptr) {
    d.languages.clear();
    for (const std::uint64_t v : f.numbers("languages", 0xFFFF)) {
      d.languages.push_back(static_cast<std::uint16_t>(v));
    }
  }
  d.faults = readDeviceFaults(f);
  return d;
}

std::optional<Device> optionalDevice(const Fields& f, std::string_view key) {
  const Json* j = f.find(key);
  if (j == nullptr) return std::nullopt;
  return readDevice(*j, f.at(key));
}

Port readPort(const Json& j, const std::string& where) {
  Port port;
  if (j.is_null()) return port;
  const Fields f(j, where, {"device", "unpowered", "afterPowerOn"});
  port.device = optionalDevice(f, "device");
  port.unpowered = optionalDevice(f, "unpowered");
  const Json* after = f.find("afterPowerOn");
  if (after != nullptr && after->is_object()) {
    const Fields b(*after, f.at("afterPowerOn"), {"becomes"});
    port.afterPowerOn = AfterPowerOn::Becomes;
    port.becomes = optionalDevice(b, "becomes");
    if (!port.becomes) failAt(b.at("becomes"), "missing");
  } else {
    port.afterPowerOn =
        static_cast<AfterPowerOn>(f.choice("afterPowerOn", {"returns", "hangs", "staysAway"}, 0));
  }
  return port;
}

Hub readHub(const Json& j, const std::string& where) {
  const Fields f(j, where, {"name", "numberOfPorts", "ports", "faults"});
  Hub hub;
  hub.name = f.text("name");
  hub.numberOfPorts = f.optionalNumber<std::uint8_t>("numberOfPorts");
  const Json empty = Json::array();
  const Json& ports = arrayAt(f, "ports", empty);
  if (ports.size() > 255) failAt(f.at("ports"), "a hub has at most 255 ports");
  for (std::size_t i = 0; i < ports.size(); ++i) {
    hub.ports.push_back(readPort(ports[i], indexed(f.at("ports"), i)));
  }
  if (const Json* fj = f.find("faults")) {
    const Fields faults(*fj, f.at("faults"), {"openFails", "nodeInformationFails"});
    hub.faults.openFails = faults.flag("openFails");
    hub.faults.nodeInformationFails = faults.flag("nodeInformationFails");
  }
  return hub;
}

HostController readHostController(const Json& j, const std::string& where) {
  const Fields f(j, where, {"number", "interfacePath", "driverKey", "rootHub", "faults"});
  HostController hc;
  if (const Json* n = f.find("number")) {
    hc.number = static_cast<std::uint8_t>(Fields::readNumber(*n, f.at("number"), 9));
  }
  hc.interfacePath = f.optionalText("interfacePath");
  hc.driverKey = f.text("driverKey");
  if (const Json* root = f.find("rootHub")) hc.rootHub = readHub(*root, f.at("rootHub"));
  if (const Json* fj = f.find("faults")) {
    const Fields faults(*fj, f.at("faults"), {"openFails", "driverKeyFails", "rootHubNameFails"});
    hc.faults.openFails = faults.flag("openFails");
    hc.faults.driverKeyFails = faults.flag("driverKeyFails");
    hc.faults.rootHubNameFails = faults.flag("rootHubNameFails");
  }
  return hc;
}

HidDevice readHidDevice(const Json& j, const std::string& where) {
  const Fields f(j, where, {"vid", "pid", "serial", "controller"}, hidEndpointKeys());
  HidDevice d;
  if (const Json* c = f.find("controller")) {
    d.firmware = readStandaloneFirmware(*c, f.at("controller"));
    d.vendorId = protocol::kControllerVendorId;
    d.productId = protocol::kControllerProductId;
  }
  d.vendorId = f.number<std::uint16_t>("vid", d.vendorId);
  d.productId = f.number<std::uint16_t>("pid", d.productId);
  d.serial = f.text("serial");
  d.hid = readHidEndpoint(f);
  return d;
}

seam::LocalTime readLocalTime(const Json& j, const std::string& where) {
  const Fields f(j, where,
                 {"year", "month", "day", "hour", "minute", "second", "milliseconds", "dayOfWeek"});
  const auto in = [&](std::string_view key, std::uint64_t lo, std::uint64_t hi,
                      std::uint64_t fallback) {
    const Json* v = f.find(key);
    if (v == nullptr) return static_cast<std::uint16_t>(fallback);
    const std::uint64_t n = Fields::readNumber(*v, f.at(key), hi);
    if (n < lo) failAt(f.at(key), std::to_string(n) + " is smaller than " + std::to_string(lo));
    return static_cast<std::uint16_t>(n);
  };
  seam::LocalTime t;
  t.year = in("year", 1601, 30827, 2024);
  t.month = in("month", 1, 12, 1);
  t.day = in("day", 1, 31, 1);
  t.hour = in("hour", 0, 23, 0);
  t.minute = in("minute", 0, 59, 0);
  t.second = in("second", 0, 59, 0);
  t.milliseconds = in("milliseconds", 0, 999, 0);
  const std::chrono::year_month_day date{std::chrono::year{t.year}, std::chrono::month{t.month},
                                         std::chrono::day{t.day}};
  if (!date.ok()) failAt(where, "no such date");
  const std::chrono::weekday weekday{std::chrono::sys_days{date}};
  t.dayOfWeek = in("dayOfWeek", 0, 6, weekday.c_encoding());
  return t;
}

World readWorld(const Json& j) {
  const Fields f(j, "",
                 {"hostControllers", "otherHidDevices", "tickStart", "localTime",
                  "executableFolder", "hidListFails", "hostControllerListFails"});
  World w;
  const Json empty = Json::array();
  const Json& hcs = arrayAt(f, "hostControllers", empty);
  for (std::size_t i = 0; i < hcs.size(); ++i) {
    w.hostControllers.push_back(readHostController(hcs[i], indexed("hostControllers", i)));
  }
  const Json& others = arrayAt(f, "otherHidDevices", empty);
  for (std::size_t i = 0; i < others.size(); ++i) {
    w.otherHidDevices.push_back(readHidDevice(others[i], indexed("otherHidDevices", i)));
  }
  w.tickStart = f.optionalNumber<std::uint32_t>("tickStart");
  if (const Json* t = f.find("localTime")) w.localTime = readLocalTime(*t, "localTime");
  w.executableFolder = f.optionalText("executableFolder");
  w.hidListFails = f.flag("hidListFails");
  w.hostControllerListFails = f.flag("hostControllerListFails");
  return w;
}

}  // namespace

World worldFromJson(std::string_view text) {
  Json j;
  try {
    j = Json::parse(text);
  } catch (const Json::exception& e) {
    throw std::runtime_error(std::string("world file: not valid JSON: ") + e.what());
  }
  World w = readWorld(j);
  completeWorld(w);
  return w;
}

}  // namespace korvex::sim
