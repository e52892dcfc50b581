// The exported Hub_ functions: thin shims over the library object. No
// exception crosses the boundary; one that would is a failure (0).
#include <korvex.h>

#include "korvex/library.h"

namespace {

const char16_t* units(const KORVEX_CHAR* s) {
  return reinterpret_cast<const char16_t*>(s);
}

std::uint8_t lowByte(unsigned int v) {
  return static_cast<std::uint8_t>(v & 0xFFu);
}

template <typename F>
int guarded(F&& f) noexcept {
  try {
    return f();
  } catch (...) {
    return 0;
  }
}

korvex::controller::ControllerCommands& commands() {
  return korvex::theLibrary().controllers();
}
korvex::topology::DeviceQueries& devices() {
  return korvex::theLibrary().devices();
}
korvex::recovery::AutoCheckList& autoCheckList() {
  return korvex::theLibrary().autoCheckList();
}
korvex::recovery::Watchdog& watchdog() {
  return korvex::theLibrary().watchdog();
}

}  // namespace

extern "C" {

int KORVEX_CALL Hub_GetDeviceInfo(HubDeviceInfo* info) {
  return guarded([&] { return devices().getDeviceInfo(info); });
}

int KORVEX_CALL Hub_GetNextDeviceInfo(HubDeviceInfo* info) {
  return guarded([&] { return devices().getNextDeviceInfo(info); });
}

int KORVEX_CALL Hub_GetDeviceInfoIndex(HubDeviceInfo* info, unsigned int index) {
  return guarded([&] { return devices().getDeviceInfoIndex(info, lowByte(index)); });
}

int KORVEX_CALL Hub_GetDeviceInfoSerial(HubDeviceInfo* info, const KORVEX_CHAR* serial) {
  return guarded([&] { return devices().getDeviceInfoSerial(info, units(serial)); });
}

int KORVEX_CALL Hub_GetStatus(const KORVEX_CHAR* serial, uint8_t* status) {
  return guarded([&] { return commands().getStatus(units(serial), status); });
}

int KORVEX_CALL Hub_SetStatus(const KORVEX_CHAR* serial, unsigned int status) {
  return guarded([&] { return commands().setStatus(units(serial), lowByte(status)); });
}

int KORVEX_CALL Hub_SetReset(const KORVEX_CHAR* serial, unsigned int value) {
  return guarded([&] { return commands().setReset(units(serial), lowByte(value)); });
}

int KORVEX_CALL Hub_GetFault(const KORVEX_CHAR* serial, uint8_t* fault) {
  return guarded([&] { return commands().getFault(units(serial), fault); });
}

int KORVEX_CALL Hub_SetPICWrite(const KORVEX_CHAR* serial) {
  return guarded([&] { return commands().setPicWrite(units(serial)); });
}

int KORVEX_CALL Hub_GetRTC(const KORVEX_CHAR* serial, uint8_t* clock7) {
  return guarded([&] { return commands().getRtc(units(serial), clock7); });
}

int KORVEX_CALL Hub_SetRTC(const KORVEX_CHAR* serial, const uint8_t* clock7) {
  return guarded([&] { return commands().setRtc(units(serial), clock7); });
}

int KORVEX_CALL Hub_ReadFram(const KORVEX_CHAR* serial, unsigned int address, unsigned int count,
                             uint8_t* data) {
  return guarded(
      [&] { return commands().readFram(units(serial), lowByte(address), lowByte(count), data); });
}

int KORVEX_CALL Hub_WriteFram(const KORVEX_CHAR* serial, unsigned int address, unsigned int count,
                              const uint8_t* data) {
  return guarded(
      [&] { return commands().writeFram(units(serial), lowByte(address), lowByte(count), data); });
}

int KORVEX_CALL Hub_WriteUSBSerial(const KORVEX_CHAR* serial, const uint8_t* data8) {
  return guarded([&] { return commands().writeUsbSerial(units(serial), data8); });
}

int KORVEX_CALL Hub_SetAutoCheckTimeInfo(unsigned int interval, unsigned int offTime) {
  return guarded([&] { return autoCheckList().setTimeInfo(lowByte(interval), lowByte(offTime)); });
}

int KORVEX_CALL Hub_GetAutoCheckTimeInfo(uint8_t* interval, uint8_t* offTime) {
  return guarded([&] { return autoCheckList().getTimeInfo(interval, offTime); });
}

int KORVEX_CALL Hub_SetAutoCheckDeviceInfo(const HubDeviceInfo* info) {
  return guarded([&] { return autoCheckList().add(info); });
}

int KORVEX_CALL Hub_GetAutoCheckDeviceInfo(HubDeviceInfo* info) {
  return guarded([&] { return autoCheckList().getFirst(info); });
}

int KORVEX_CALL Hub_GetNextAutoCheckDeviceInfo(HubDeviceInfo* info) {
  return guarded([&] { return autoCheckList().getNext(info); });
}

int KORVEX_CALL Hub_GetAutoCheckDeviceInfoIndex(HubDeviceInfo* info, unsigned int index) {
  return guarded([&] { return autoCheckList().getIndex(info, lowByte(index)); });
}

int KORVEX_CALL Hub_GetAutoCheckDeviceInfoSerial(HubDeviceInfo* info, const KORVEX_CHAR* serial) {
  return guarded([&] { return autoCheckList().getSerial(info, units(serial)); });
}

int KORVEX_CALL Hub_DeleteAutoCheckDeviceInfo(const HubDeviceInfo* info) {
  return guarded([&] { return watchdog().deleteListed(info); });
}

int KORVEX_CALL Hub_StartAutoRecovery(void) {
  return guarded([&] { return watchdog().start(); });
}

int KORVEX_CALL Hub_StopAutoRecovery(void) {
  return guarded([&] { return watchdog().stop(); });
}

int KORVEX_CALL Hub_GetAutoRecoveryStatus(void) {
  return guarded([&] { return watchdog().status(); });
}

}  // extern "C"
