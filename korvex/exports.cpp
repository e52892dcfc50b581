// The exported Hub_ functions: thin shims over the library object. No
// exception crosses the boundary; one that would is a failure (0). Each
// leaves the calling thread's failure reason for Hub_GetLastError: none
// after a success, else what the failing code recorded.
#include <korvex.h>

#include "korvex/common/failure_reason.h"
#include "korvex/library.h"

namespace {

const char16_t* units(const KORVEX_CHAR* s) {
  return reinterpret_cast<const char16_t*>(s);
}

std::uint8_t lowByte(unsigned int v) {
  return static_cast<std::uint8_t>(v & 0xFFu);
}

using korvex::FailureReason;

static_assert(static_cast<int>(FailureReason::NoSuchController) == KORVEX_ERROR_NO_SUCH_CONTROLLER);
static_assert(static_cast<int>(FailureReason::NoReply) == KORVEX_ERROR_NO_REPLY);
static_assert(static_cast<int>(FailureReason::DeviceError) == KORVEX_ERROR_DEVICE_ERROR);
static_assert(static_cast<int>(FailureReason::BadArgument) == KORVEX_ERROR_BAD_ARGUMENT);
static_assert(static_cast<int>(FailureReason::NoSuchHub) == KORVEX_ERROR_NO_SUCH_HUB);
static_assert(static_cast<int>(FailureReason::NoMoreEntries) == KORVEX_ERROR_NO_MORE_ENTRIES);
static_assert(static_cast<int>(FailureReason::ListFull) == KORVEX_ERROR_LIST_FULL);
static_assert(static_cast<int>(FailureReason::NotListed) == KORVEX_ERROR_NOT_LISTED);
static_assert(static_cast<int>(FailureReason::AlreadyRunning) == KORVEX_ERROR_ALREADY_RUNNING);
static_assert(static_cast<int>(FailureReason::NotRunning) == KORVEX_ERROR_NOT_RUNNING);
static_assert(static_cast<int>(FailureReason::ThreadFailed) == KORVEX_ERROR_THREAD_FAILED);
static_assert(static_cast<int>(FailureReason::Internal) == KORVEX_ERROR_INTERNAL);

// A result of 0 is a failure; its reason is the one recorded last on the
// way (a tolerated failure of a nested call, such as a status read during a
// scan, is overwritten by the reason of the call's own failure or cleared
// by its success).
template <typename F>
int guarded(F&& f) noexcept {
  korvex::setFailureReason(FailureReason::None);
  try {
    const int result = f();
    if (result != 0) {
      korvex::setFailureReason(FailureReason::None);
    } else if (korvex::failureReason() == FailureReason::None) {
      korvex::setFailureReason(FailureReason::Internal);
    }
    return result;
  } catch (...) {
    return korvex::failWith(FailureReason::Internal);
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
  // 0 is "off", not a failure.
  int on = 0;
  guarded([&] {
    on = watchdog().status();
    return 1;
  });
  return on;
}

int KORVEX_CALL Hub_GetLastError(void) {
  return static_cast<int>(korvex::failureReason());
}

}  // extern "C"
