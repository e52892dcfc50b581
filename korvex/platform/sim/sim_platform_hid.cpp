// SimPlatform's HID entries and the interface lists: the controllers of the
// tree and the other HID devices, each answering through its firmware.
#include <algorithm>

#include "korvex/platform/sim/controller_firmware.h"
#include "korvex/platform/sim/downstream_power.h"
#include "korvex/platform/sim/sim_platform.h"
#include "korvex/platform/sim/sim_platform_impl.h"

namespace korvex::sim {

namespace {

using Listing = std::vector<std::optional<std::u16string>>;

Listing hidListing(World& world) {
  Listing list;
  forEachHid(world, [&](const HidSite& site) {
    if (site.hid->faults.detailFails) {
      list.emplace_back(std::nullopt);
    } else {
      list.emplace_back(site.hid->path);
    }
    return true;
  });
  return list;
}

Listing hostControllerListing(const World& world) {
  Listing list;
  for (const HostController& hc : world.hostControllers) {
    if (!hc.interfacePath) continue;
    if (hc.faults.interfaceDetailFails) {
      list.emplace_back(std::nullopt);
    } else {
      list.emplace_back(*hc.interfacePath);
    }
  }
  return list;
}

// Windows rejects a feature report buffer shorter than the length the
// device declares, and a report whose ID byte the device does not use.
bool acceptsReport(const HidSite& site, std::span<const std::uint8_t> report) {
  return !report.empty() && report.size() >= site.hid->featureReportByteLength && report[0] == 0;
}

}  // namespace

bool SimPlatform::enumerateInterfaces(platform::InterfaceClass cls, const InterfaceVisitor& visit) {
  // The list is a snapshot, as SetupAPI's is; the visitor runs unlocked so
  // that it can make platform calls of its own.
  Listing list;
  {
    std::lock_guard lock(impl_->mutex);
    impl_->refresh();
    World& world = impl_->world;
    if (cls == platform::InterfaceClass::Hid) {
      if (world.hidListFails) return false;
      list = hidListing(world);
    } else {
      if (world.hostControllerListFails) return false;
      list = hostControllerListing(world);
    }
    ++impl_->counts.interfaceLists;
  }
  for (const auto& entry : list) {
    {
      std::lock_guard lock(impl_->mutex);
      ++impl_->counts.interfacesVisited;
    }
    const std::optional<std::u16string_view> path =
        entry ? std::optional<std::u16string_view>(*entry) : std::nullopt;
    if (!visit(path)) break;
  }
  return true;
}

platform::Handle SimPlatform::openHid(std::u16string_view path) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findHid(impl_->world, path);
  if (!site || site->hid->faults.openFails) return platform::kNoHandle;
  ++impl_->counts.hidOpens;
  return impl_->open(OpenHandle::Kind::Hid, path);
}

std::optional<platform::HidAttributes> SimPlatform::hidAttributes(platform::Handle h) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.hidQueries;
  const auto site = impl_->hidFor(h);
  if (!site || site->hid->faults.attributesFails) return std::nullopt;
  return platform::HidAttributes{site->vendorId, site->productId, site->hid->versionNumber};
}

bool SimPlatform::hidSerialNumber(platform::Handle h,
                                  std::span<char16_t, platform::kHidSerialUnits> buffer) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.hidQueries;
  const auto site = impl_->hidFor(h);
  if (!site || site->hid->faults.serialFails) return false;
  // Like a real device: as many units as fit, a NUL only when there is room.
  const std::u16string& serial = *site->serial;
  const std::size_t n = std::min(serial.size(), buffer.size());
  std::copy_n(serial.begin(), n, buffer.begin());
  if (n < buffer.size()) buffer[n] = u'\0';
  return true;
}

std::optional<platform::HidCaps> SimPlatform::hidCaps(platform::Handle h) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.hidQueries;
  const auto site = impl_->hidFor(h);
  if (!site || site->hid->faults.capsFails) return std::nullopt;
  return platform::HidCaps{site->hid->inputReportByteLength, site->hid->outputReportByteLength,
                           site->hid->featureReportByteLength};
}

bool SimPlatform::hidSetFeature(platform::Handle h, std::span<std::uint8_t> report) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.featureSets;
  const auto site = impl_->hidFor(h);
  if (!site || !acceptsReport(*site, report)) return false;
  if (site->firmware == nullptr) return true;  // delivered; nothing will answer
  const FirmwareFaults faults = site->firmware->faults;
  if (faults.setFeatureFails) return false;

  // The device sees the report up to the length it declares.
  Report request{};
  const std::size_t length =
      std::min({report.size(), request.size(), std::size_t{site->hid->featureReportByteLength}});
  std::copy_n(report.begin(), length, request.begin());

  const std::uint32_t now = impl_->clock.peek();
  ControllerRuntime& runtime = impl_->runtime[site->hid->path];
  ++runtime.requests;
  runtime.log.push_back(ReceivedRequest{now, request});
  // A new request always replaces the reply to the previous one, whichever
  // handle sent either.
  runtime.pending.reset();
  const bool silent = faults.silent || (faults.silentAfterRequests &&
                                        runtime.requests > *faults.silentAfterRequests);
  if (silent) return true;

  const FirmwareOutcome outcome = runRequest(site->firmware->state, request, faults.statusReply);
  runtime.pending = ControllerRuntime::Reply{outcome.reply, now, faults.replyDelayMs};
  if (outcome.switchPower && site->downstream != nullptr) {
    followPower(*site->downstream, *outcome.switchPower);
  }
  if (outcome.stateChanged) impl_->persist();
  return true;
}

bool SimPlatform::hidGetFeature(platform::Handle h, std::span<std::uint8_t> report) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  ++impl_->counts.featureGets;
  const auto site = impl_->hidFor(h);
  if (!site || !acceptsReport(*site, report) || site->firmware == nullptr) return false;
  const auto it = impl_->runtime.find(site->hid->path);
  if (it == impl_->runtime.end() || !it->second.pending) return false;
  const ControllerRuntime::Reply& reply = *it->second.pending;
  const std::uint32_t waited = impl_->clock.peek() - reply.requestTick;
  if (waited < reply.delayMs) return false;
  const std::size_t n = std::min(report.size(), reply.bytes.size());
  std::copy_n(reply.bytes.begin(), n, report.begin());
  std::fill(report.begin() + static_cast<std::ptrdiff_t>(n), report.end(), std::uint8_t{0});
  it->second.pending.reset();  // each reply is read once
  return true;
}

}  // namespace korvex::sim
