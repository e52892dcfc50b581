// The world file format, written: World to JSON text.
#include <algorithm>

#include "korvex/common/utf16.h"
#include "simulator/json_fields.h"
#include "simulator/text_codec.h"
#include "simulator/world.h"

namespace korvex::sim {

namespace {

std::string text(std::u16string_view s) {
  return toUtf8(s);
}
std::string hex16(std::uint16_t v) {
  return formatHex(v, 4);
}

// Adds key: true only for flags that are set, so the file lists just the
// faults in force.
void setFlag(Json& j, const char* key, bool value) {
  if (value) j[key] = true;
}

void setFaults(Json& owner, Json faults) {
  if (!faults.empty()) owner["faults"] = std::move(faults);
}

template <std::size_t N>
std::string hexTrimmed(const std::array<std::uint8_t, N>& bytes) {
  std::size_t n = N;
  while (n > 0 && bytes[n - 1] == 0) --n;
  return formatHexBytes(std::span<const std::uint8_t>(bytes.data(), n));
}

void writeHidEndpoint(Json& j, const HidEndpoint& hid) {
  j["path"] = text(hid.path);
  j["versionNumber"] = hex16(hid.versionNumber);
  j["inputReportByteLength"] = hid.inputReportByteLength;
  j["outputReportByteLength"] = hid.outputReportByteLength;
  j["featureReportByteLength"] = hid.featureReportByteLength;
  Json faults = Json::object();
  setFlag(faults, "detailFails", hid.faults.detailFails);
  setFlag(faults, "openFails", hid.faults.openFails);
  setFlag(faults, "attributesFails", hid.faults.attributesFails);
  setFlag(faults, "serialFails", hid.faults.serialFails);
  setFlag(faults, "capsFails", hid.faults.capsFails);
  setFaults(j, std::move(faults));
}

Json writeFirmware(const Firmware& fw) {
  const ControllerState& s = fw.state;
  Json j = Json::object();
  j["power"] = s.power;
  j["registers"] = formatHexBytes(s.registers);
  j["fram"] = hexTrimmed(s.fram);
  j["usbSerial"] = formatHexBytes(s.usbSerial);
  j["fault"] = s.fault;
  if (!s.resetValues.empty()) j["resetValues"] = s.resetValues;
  if (!s.picWriteSteps.empty()) j["picWriteSteps"] = s.picWriteSteps;
  Json faults = Json::object();
  setFlag(faults, "silent", fw.faults.silent);
  if (fw.faults.replyDelayMs != 0) faults["replyDelayMs"] = fw.faults.replyDelayMs;
  setFlag(faults, "setFeatureFails", fw.faults.setFeatureFails);
  if (fw.faults.silentAfterRequests) faults["silentAfterRequests"] = *fw.faults.silentAfterRequests;
  if (fw.faults.statusReply) faults["statusReply"] = formatHex(*fw.faults.statusReply, 2);
  setFaults(j, std::move(faults));
  return j;
}

Json writeDeviceFaults(const UsbDeviceFaults& f) {
  static constexpr const char* kConfig[] = {"ok", "fails", "short", "lyingTotalLength"};
  static constexpr const char* kString[] = {"fails", "shortReply", "length2", "oddLength",
                                            "wrongType"};
  Json j = Json::object();
  setFlag(j, "connectionInfoFails", f.connectionInfoFails);
  setFlag(j, "connectionNameFails", f.connectionNameFails);
  setFlag(j, "descriptorRequestFails", f.descriptorRequestFails);
  if (f.configDescriptor != ConfigDescriptorFault::None) {
    j["configDescriptor"] = kConfig[static_cast<int>(f.configDescriptor)];
  }
  setFlag(j, "languageListFails", f.languageListFails);
  if (!f.strings.empty()) {
    Json rules = Json::array();
    for (const StringFaultRule& r : f.strings) {
      Json rule = Json::object();
      rule["index"] = r.index;
      if (r.language) rule["language"] = hex16(*r.language);
      rule["fault"] = kString[static_cast<int>(r.fault)];
      rules.push_back(std::move(rule));
    }
    j["strings"] = std::move(rules);
  }
  return j;
}

Json writeHub(const Hub& hub);

Json writeDevice(const Device& d) {
  Json j = Json::object();
  j["vid"] = hex16(d.vendorId);
  j["pid"] = hex16(d.productId);
  j["bcdDevice"] = hex16(d.bcdDevice);
  j["class"] = formatHex(d.deviceClass, 2);
  j["subclass"] = formatHex(d.deviceSubClass, 2);
  j["speed"] = d.speed;
  j["currentConfigurationValue"] = d.currentConfigurationValue;
  j["connectionStatus"] = d.connectionStatus;
  j["serial"] = text(d.serial);
  j["product"] = text(d.product);
  j["serialIndex"] = d.serialIndex;
  j["productIndex"] = d.productIndex;
  Json languages = Json::array();
  for (const std::uint16_t l : d.languages) languages.push_back(hex16(l));
  j["languages"] = std::move(languages);
  if (d.controller) {
    Json c = writeFirmware(d.controller->firmware);
    Json hid = Json::object();
    writeHidEndpoint(hid, d.controller->hid);
    c["hid"] = std::move(hid);
    j["controller"] = std::move(c);
  }
  if (d.hub) j["hub"] = writeHub(*d.hub);
  setFaults(j, writeDeviceFaults(d.faults));
  return j;
}

Json writePort(const Port& port) {
  static constexpr const char* kAfter[] = {"returns", "hangs", "staysAway"};
  Json j = Json::object();
  if (port.device) j["device"] = writeDevice(*port.device);
  if (port.unpowered) j["unpowered"] = writeDevice(*port.unpowered);
  if (port.afterPowerOn == AfterPowerOn::Becomes && port.becomes) {
    Json after = Json::object();
    after["becomes"] = writeDevice(*port.becomes);
    j["afterPowerOn"] = std::move(after);
  } else if (port.afterPowerOn != AfterPowerOn::Returns &&
             port.afterPowerOn != AfterPowerOn::Becomes) {
    j["afterPowerOn"] = kAfter[static_cast<int>(port.afterPowerOn)];
  }
  return j;
}

Json writeHub(const Hub& hub) {
  Json j = Json::object();
  j["name"] = text(hub.name);
  if (hub.numberOfPorts) j["numberOfPorts"] = *hub.numberOfPorts;
  Json ports = Json::array();
  for (const Port& p : hub.ports) ports.push_back(writePort(p));
  j["ports"] = std::move(ports);
  Json faults = Json::object();
  setFlag(faults, "openFails", hub.faults.openFails);
  setFlag(faults, "nodeInformationFails", hub.faults.nodeInformationFails);
  setFaults(j, std::move(faults));
  return j;
}

Json writeHostController(const HostController& hc) {
  Json j = Json::object();
  if (hc.number) j["number"] = *hc.number;
  if (hc.interfacePath) j["interfacePath"] = text(*hc.interfacePath);
  j["driverKey"] = text(hc.driverKey);
  j["rootHub"] = writeHub(hc.rootHub);
  Json faults = Json::object();
  setFlag(faults, "openFails", hc.faults.openFails);
  setFlag(faults, "driverKeyFails", hc.faults.driverKeyFails);
  setFlag(faults, "rootHubNameFails", hc.faults.rootHubNameFails);
  setFaults(j, std::move(faults));
  return j;
}

Json writeHidDevice(const HidDevice& d) {
  Json j = Json::object();
  j["vid"] = hex16(d.vendorId);
  j["pid"] = hex16(d.productId);
  j["serial"] = text(d.serial);
  writeHidEndpoint(j, d.hid);
  if (d.firmware) j["controller"] = writeFirmware(*d.firmware);
  return j;
}

Json writeLocalTime(const seam::LocalTime& t) {
  Json j = Json::object();
  j["year"] = t.year;
  j["month"] = t.month;
  j["day"] = t.day;
  j["hour"] = t.hour;
  j["minute"] = t.minute;
  j["second"] = t.second;
  j["milliseconds"] = t.milliseconds;
  j["dayOfWeek"] = t.dayOfWeek;
  return j;
}

}  // namespace

std::string worldToJson(const World& world) {
  Json j = Json::object();
  if (world.tickStart) j["tickStart"] = formatHex(*world.tickStart, 8);
  if (world.localTime) j["localTime"] = writeLocalTime(*world.localTime);
  if (world.executableFolder) j["executableFolder"] = text(*world.executableFolder);
  setFlag(j, "hidListFails", world.hidListFails);
  setFlag(j, "hostControllerListFails", world.hostControllerListFails);
  Json hcs = Json::array();
  for (const HostController& hc : world.hostControllers) hcs.push_back(writeHostController(hc));
  j["hostControllers"] = std::move(hcs);
  Json others = Json::array();
  for (const HidDevice& d : world.otherHidDevices) others.push_back(writeHidDevice(d));
  j["otherHidDevices"] = std::move(others);
  return j.dump(2) + "\n";
}

}  // namespace korvex::sim
