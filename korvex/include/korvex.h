/* Korvex: the hub maintenance library.
 *
 * Every export returns a 32-bit integer, nonzero for success and 0 for failure.
 * Arguments described as a byte travel as 32-bit values of which only the low
 * 8 bits count. Strings are NUL-terminated UTF-16. Records cross the boundary
 * in buffers the caller owns; the library keeps no pointer to them. */
#ifndef KORVEX_KORVEX_H
#define KORVEX_KORVEX_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <wchar.h>
typedef wchar_t KORVEX_CHAR; /* WCHAR */
#define KORVEX_CALL __stdcall
#else
#ifdef __cplusplus
typedef char16_t KORVEX_CHAR;
#else
#include <uchar.h>
typedef char16_t KORVEX_CHAR;
#endif
#define KORVEX_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define KORVEX_STRING_UNITS 256

/* One hub carrying the controller: the controller status byte, the
 * controller serial and the device on the hub's downstream port. */
typedef struct HubDeviceInfo {
  uint8_t status;                                    /* 0: controller status byte */
  uint8_t reserved;                                  /* 1: always 0 */
  KORVEX_CHAR controllerSerial[KORVEX_STRING_UNITS]; /* 2 */
  uint8_t bDeviceClass;                              /* 514 */
  uint8_t bDeviceSubClass;                           /* 515 */
  uint16_t idVendor;                                 /* 516 */
  uint16_t idProduct;                                /* 518 */
  uint16_t bcdDevice;                                /* 520 */
  uint8_t CurrentConfigurationValue;                 /* 522: 0 = not configured */
  uint8_t Speed;                                     /* 523: 0 low, 1 full, 2 high */
  KORVEX_CHAR serial[KORVEX_STRING_UNITS];           /* 524 */
  KORVEX_CHAR product[KORVEX_STRING_UNITS];          /* 1036 */
  uint32_t ConnectionStatus;                         /* 1548: USB_CONNECTION_STATUS */
} HubDeviceInfo;

/* Device queries. */
int KORVEX_CALL Hub_GetDeviceInfo(HubDeviceInfo* info);
int KORVEX_CALL Hub_GetNextDeviceInfo(HubDeviceInfo* info);
int KORVEX_CALL Hub_GetDeviceInfoIndex(HubDeviceInfo* info, unsigned int index);
int KORVEX_CALL Hub_GetDeviceInfoSerial(HubDeviceInfo* info, const KORVEX_CHAR* serial);

/* Controller commands. */
int KORVEX_CALL Hub_GetStatus(const KORVEX_CHAR* serial, uint8_t* status);
int KORVEX_CALL Hub_SetStatus(const KORVEX_CHAR* serial, unsigned int status);
int KORVEX_CALL Hub_SetReset(const KORVEX_CHAR* serial, unsigned int value);
int KORVEX_CALL Hub_GetFault(const KORVEX_CHAR* serial, uint8_t* fault);
int KORVEX_CALL Hub_SetPICWrite(const KORVEX_CHAR* serial);
int KORVEX_CALL Hub_GetRTC(const KORVEX_CHAR* serial, uint8_t* clock7);
int KORVEX_CALL Hub_SetRTC(const KORVEX_CHAR* serial, const uint8_t* clock7);
int KORVEX_CALL Hub_ReadFram(const KORVEX_CHAR* serial, unsigned int address, unsigned int count,
                             uint8_t* data);
int KORVEX_CALL Hub_WriteFram(const KORVEX_CHAR* serial, unsigned int address, unsigned int count,
                              const uint8_t* data);
int KORVEX_CALL Hub_WriteUSBSerial(const KORVEX_CHAR* serial, const uint8_t* data8);

/* Auto-recovery list and settings. */
int KORVEX_CALL Hub_SetAutoCheckTimeInfo(unsigned int interval, unsigned int offTime);
int KORVEX_CALL Hub_GetAutoCheckTimeInfo(uint8_t* interval, uint8_t* offTime);
int KORVEX_CALL Hub_SetAutoCheckDeviceInfo(const HubDeviceInfo* info);
int KORVEX_CALL Hub_GetAutoCheckDeviceInfo(HubDeviceInfo* info);
int KORVEX_CALL Hub_GetNextAutoCheckDeviceInfo(HubDeviceInfo* info);
int KORVEX_CALL Hub_GetAutoCheckDeviceInfoIndex(HubDeviceInfo* info, unsigned int index);
int KORVEX_CALL Hub_GetAutoCheckDeviceInfoSerial(HubDeviceInfo* info, const KORVEX_CHAR* serial);
int KORVEX_CALL Hub_DeleteAutoCheckDeviceInfo(const HubDeviceInfo* info);

/* Watchdog control. Processes using the library of one folder share its
 * store: one list, one recovery on/off, and one acting watchdog among the
 * processes that started recovery (the others stand by and take over when
 * its process ends). Hub_StopAutoRecovery stops recovery for all of them
 * and returns 0 only when recovery was off; Hub_GetAutoRecoveryStatus is 1
 * while recovery is on and some process's watchdog keeps it. */
int KORVEX_CALL Hub_StartAutoRecovery(void);
int KORVEX_CALL Hub_StopAutoRecovery(void);
int KORVEX_CALL Hub_GetAutoRecoveryStatus(void);

/* Why the calling thread's last Hub_ call failed: one of the codes below.
 * Every other export sets it, to KORVEX_ERROR_NONE when it succeeds, so it
 * is read right after the call that returned 0; Hub_GetLastError leaves it
 * as it is. Each thread has its own: another thread's calls (the watchdog's
 * included) never change it. Hub_GetAutoRecoveryStatus's 0 means "off", not
 * a failure, and leaves KORVEX_ERROR_NONE. Hub_SetReset succeeds once its
 * request could be sent, whatever the reply. */
int KORVEX_CALL Hub_GetLastError(void);

#define KORVEX_ERROR_NONE 0
/* No controller with that serial among the HID interfaces. */
#define KORVEX_ERROR_NO_SUCH_CONTROLLER 1
/* The request was delivered, but no reply came within the time-out. */
#define KORVEX_ERROR_NO_REPLY 2
/* A device call failed: the HID interface list or an interface could not be
 * read, the controller could not be opened or its report lengths read, the
 * request was not delivered, or its feature report is too short for the
 * protocol's 65 bytes. */
#define KORVEX_ERROR_DEVICE_ERROR 3
/* A null pointer, or an address and count beyond the FRAM's 255 bytes. */
#define KORVEX_ERROR_BAD_ARGUMENT 4
/* The scan found no hub carrying the controller; or the last scan has no
 * hub at that index or with that serial. */
#define KORVEX_ERROR_NO_SUCH_HUB 5
/* No further entry: the end of the scanned hubs or of the auto-recovery
 * list, or the list is empty. */
#define KORVEX_ERROR_NO_MORE_ENTRIES 6
/* The auto-recovery list holds 32 hubs already. */
#define KORVEX_ERROR_LIST_FULL 7
/* No hub with that serial (or at that index) on the auto-recovery list. */
#define KORVEX_ERROR_NOT_LISTED 8
/* Hub_StartAutoRecovery: this process's watchdog runs already. */
#define KORVEX_ERROR_ALREADY_RUNNING 9
/* Hub_StopAutoRecovery: auto recovery is off already. */
#define KORVEX_ERROR_NOT_RUNNING 10
/* Hub_StartAutoRecovery: the watchdog's thread could not be created
 * (auto recovery is stored as off). */
#define KORVEX_ERROR_THREAD_FAILED 11
/* The library failed inside (out of memory, say). */
#define KORVEX_ERROR_INTERNAL 12

#ifdef __cplusplus
} /* extern "C" */
#endif

/* The record layout is shared with callers built by other compilers. */
#ifdef __cplusplus
#define KORVEX_STATIC_ASSERT static_assert
#else
#define KORVEX_STATIC_ASSERT _Static_assert
#endif
KORVEX_STATIC_ASSERT(sizeof(KORVEX_CHAR) == 2, "UTF-16 units are two bytes");
KORVEX_STATIC_ASSERT(sizeof(HubDeviceInfo) == 1552, "HubDeviceInfo is 1552 bytes");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, status) == 0, "status at 0");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, reserved) == 1, "reserved at 1");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, controllerSerial) == 2, "controllerSerial at 2");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, bDeviceClass) == 514, "bDeviceClass at 514");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, bDeviceSubClass) == 515, "bDeviceSubClass at 515");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, idVendor) == 516, "idVendor at 516");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, idProduct) == 518, "idProduct at 518");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, bcdDevice) == 520, "bcdDevice at 520");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, CurrentConfigurationValue) == 522,
                     "CurrentConfigurationValue at 522");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, Speed) == 523, "Speed at 523");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, serial) == 524, "serial at 524");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, product) == 1036, "product at 1036");
KORVEX_STATIC_ASSERT(offsetof(HubDeviceInfo, ConnectionStatus) == 1548, "ConnectionStatus at 1548");

#endif /* KORVEX_KORVEX_H */
