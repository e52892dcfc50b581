// SimPlatform's USB host controller and hub entries.
//
// Host controllers open by "\\.\HCD<number>" or by their interface path,
// hubs by "\\.\" followed by their name. An I/O control is answered from
// the world as it stands at the call: the handle's path is looked up again
// each time, so a hub that has lost its power no longer answers.
#include "korvex/platform/sim/little_endian.h"
#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_platform_impl.h"
#include "korvex/platform/sim/usb_node_lookup.h"
#include "korvex/platform/sim/usb_replies.h"
#include "korvex/topology/usb_ioctl.h"

namespace korvex::sim {

namespace {

namespace topo = topology;

bool opens(const UsbNode& node) {
  return node.kind == UsbNode::Kind::HostController ? !node.hostController->faults.openFails
                                                    : !node.hub->faults.openFails;
}

IoResult hostControllerRequest(const HostController& hc, std::uint32_t code,
                               std::span<std::uint8_t> buffer) {
  namespace nr = topo::name_reply;
  const HostControllerFaults& f = hc.faults;
  switch (code) {
    case topo::kIoctlGetHcdDriverkeyName:
      if (f.driverKeyFails) return kIoFailed;
      return answerName(buffer, nr::kActualLength, nr::kName, hc.driverKey, f.driverKeyHugeLength);
    case topo::kIoctlUsbGetRootHubName:
      if (f.rootHubNameFails) return kIoFailed;
      return answerName(buffer, nr::kActualLength, nr::kName, hc.rootHub.name,
                        f.rootHubNameHugeLength);
    default:
      return kIoFailed;
  }
}

IoResult hubRequest(const UsbNode& node, std::uint32_t code, std::span<std::uint8_t> buffer) {
  const Hub& hub = *node.hub;
  if (code == topo::kIoctlUsbGetNodeInformation) {
    return answerNodeInformation(buffer, hub, &hub == &node.hostController->rootHub);
  }
  // Every other request names a port in its first four bytes.
  const auto port =
      portOf(node.hostController->rootHub, hub, buffer.size() >= 4 ? le::get32(buffer, 0) : 0);
  if (!port) return kIoFailed;
  switch (code) {
    case topo::kIoctlUsbGetNodeConnectionInformationEx:
      return answerConnectionInformation(buffer, *port, true);
    case topo::kIoctlUsbGetNodeConnectionInformation:
      return answerConnectionInformation(buffer, *port, false);
    case topo::kIoctlUsbGetNodeConnectionName:
      return answerConnectionName(buffer, *port);
    case topo::kIoctlUsbGetDescriptorFromNodeConnection:
      return answerDescriptorRequest(buffer, *port);
    default:
      return kIoFailed;
  }
}

}  // namespace

platform::Handle SimPlatform::openUsbNode(std::u16string_view path) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto node = findUsbNode(impl_->world, path);
  if (!node || !opens(*node)) return platform::kNoHandle;
  ++impl_->counts.usbOpens;
  return impl_->open(OpenHandle::Kind::UsbNode, path);
}

bool SimPlatform::ioControl(platform::Handle h, std::uint32_t code, std::span<std::uint8_t> buffer,
                            std::uint32_t& bytesReturned) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.ioControls;
  bytesReturned = 0;
  const auto it = impl_->handles.find(h);
  if (it == impl_->handles.end() || it->second.kind != OpenHandle::Kind::UsbNode) return false;
  const auto node = findUsbNode(impl_->world, it->second.path);
  if (!node) return false;
  const IoResult result = node->kind == UsbNode::Kind::HostController
                              ? hostControllerRequest(*node->hostController, code, buffer)
                              : hubRequest(*node, code, buffer);
  if (!result.ok) return false;
  bytesReturned = result.bytes;
  return true;
}

}  // namespace korvex::sim
