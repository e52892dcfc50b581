// The reply parsing reads the hub driver's structures by byte offsets of its
// own (hub_ioctl_layout.h), so that it needs no Windows header. Here those
// codes, offsets and sizes are held against the system's structures.
#include <windows.h>
#include <winioctl.h>

#include <usbioctl.h>
#include <cstddef>

#include "korvex/backends/win32/hub_ioctl_layout.h"
#include "korvex/seam/usb_host.h"

namespace korvex::win32 {

static_assert(sizeof(USB_HCD_DRIVERKEY_NAME) == name_reply::kSize);
static_assert(offsetof(USB_HCD_DRIVERKEY_NAME, ActualLength) == name_reply::kActualLength);
static_assert(offsetof(USB_HCD_DRIVERKEY_NAME, DriverKeyName) == name_reply::kName);
static_assert(sizeof(USB_ROOT_HUB_NAME) == name_reply::kSize);
static_assert(offsetof(USB_ROOT_HUB_NAME, ActualLength) == name_reply::kActualLength);
static_assert(offsetof(USB_ROOT_HUB_NAME, RootHubName) == name_reply::kName);

static_assert(sizeof(USB_NODE_CONNECTION_NAME) == connection_name::kSize);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ConnectionIndex) ==
              connection_name::kConnectionIndex);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, ActualLength) == connection_name::kActualLength);
static_assert(offsetof(USB_NODE_CONNECTION_NAME, NodeName) == connection_name::kName);

static_assert(sizeof(USB_NODE_INFORMATION) == node_information::kSize);
static_assert(offsetof(USB_NODE_INFORMATION, u.HubInformation.HubDescriptor.bNumberOfPorts) ==
              node_information::kNumberOfPorts);

using ConnectionEx = USB_NODE_CONNECTION_INFORMATION_EX;
using Connection = USB_NODE_CONNECTION_INFORMATION;
namespace ci = connection_information;
static_assert(sizeof(USB_PIPE_INFO) == ci::kPipeInfoSize);
static_assert(offsetof(ConnectionEx, PipeList) + ci::kPipes * sizeof(USB_PIPE_INFO) == ci::kSize);
static_assert(offsetof(Connection, PipeList) == offsetof(ConnectionEx, PipeList));
static_assert(offsetof(ConnectionEx, ConnectionIndex) == ci::kConnectionIndex);
static_assert(offsetof(ConnectionEx, DeviceDescriptor) == ci::kDeviceDescriptor);
static_assert(sizeof(USB_DEVICE_DESCRIPTOR) == ci::kDeviceDescriptorSize);
static_assert(sizeof(USB_DEVICE_DESCRIPTOR) == seam::kDeviceDescriptorSize);
static_assert(offsetof(ConnectionEx, CurrentConfigurationValue) == ci::kCurrentConfigurationValue);
static_assert(offsetof(ConnectionEx, Speed) == ci::kSpeed);
static_assert(offsetof(Connection, LowSpeed) == ci::kSpeed);
static_assert(offsetof(ConnectionEx, DeviceIsHub) == ci::kDeviceIsHub);
static_assert(offsetof(Connection, DeviceIsHub) == ci::kDeviceIsHub);
static_assert(offsetof(ConnectionEx, DeviceAddress) == ci::kDeviceAddress);
static_assert(offsetof(ConnectionEx, NumberOfOpenPipes) == ci::kNumberOfOpenPipes);
static_assert(offsetof(ConnectionEx, ConnectionStatus) == ci::kConnectionStatus);
static_assert(offsetof(Connection, ConnectionStatus) == ci::kConnectionStatus);
static_assert(offsetof(ConnectionEx, PipeList) == ci::kPipeList);

namespace dr = descriptor_request;
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, ConnectionIndex) == dr::kConnectionIndex);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.bmRequest) == dr::kBmRequest);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.bRequest) == dr::kBRequest);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.wValue) == dr::kWValue);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.wIndex) == dr::kWIndex);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, SetupPacket.wLength) == dr::kWLength);
static_assert(offsetof(USB_DESCRIPTOR_REQUEST, Data) == dr::kData);

static_assert(IOCTL_GET_HCD_DRIVERKEY_NAME == kIoctlGetHcdDriverkeyName);
static_assert(IOCTL_USB_GET_ROOT_HUB_NAME == kIoctlUsbGetRootHubName);
static_assert(IOCTL_USB_GET_NODE_INFORMATION == kIoctlUsbGetNodeInformation);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_INFORMATION_EX ==
              kIoctlUsbGetNodeConnectionInformationEx);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_INFORMATION == kIoctlUsbGetNodeConnectionInformation);
static_assert(IOCTL_USB_GET_NODE_CONNECTION_NAME == kIoctlUsbGetNodeConnectionName);
static_assert(IOCTL_USB_GET_DESCRIPTOR_FROM_NODE_CONNECTION ==
              kIoctlUsbGetDescriptorFromNodeConnection);

// The connection status and speed values the seam passes on are the system's.
static_assert(DeviceConnected == seam::kDeviceConnected);
static_assert(UsbLowSpeed == 0 && UsbFullSpeed == 1 && UsbHighSpeed == 2);

}  // namespace korvex::win32
