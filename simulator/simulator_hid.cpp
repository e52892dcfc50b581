// Simulator's HID side: the interface list, and HID devices that answer
// from the world as it stands at each call, controllers through their
// firmware.
#include <algorithm>

#include "simulator/downstream_power.h"
#include "simulator/simulator.h"
#include "simulator/simulator_impl.h"

namespace korvex::sim {

namespace {

// The serial as the seam gives it: up to its first NUL, at most
// kHidSerialUnits units (what fits a 64-byte buffer).
std::u16string readableSerial(const HidSite& site) {
  if (site.hid->faults.serialFails) return {};
  const std::u16string& serial = *site.serial;
  const std::size_t n = std::min({serial.size(), seam::kHidSerialUnits, serial.find(u'\0')});
  return serial.substr(0, n);
}

seam::HidIdentity identityOf(const HidSite& site) {
  return seam::HidIdentity{site.vendorId, site.productId, readableSerial(site)};
}

// Windows rejects a feature report buffer shorter than the length the
// device declares, and a report whose ID byte the device does not use.
bool acceptsReport(const HidSite& site, std::span<const std::uint8_t> report) {
  return !report.empty() && report.size() >= site.hid->featureReportByteLength && report[0] == 0;
}

class SimulatedHid final : public seam::HidDevice {
 public:
  SimulatedHid(std::shared_ptr<Simulator::Impl> impl, std::u16string path)
      : impl_(std::move(impl)), path_(std::move(path)) {}

  ~SimulatedHid() override {
    const std::lock_guard lock(impl_->mutex);
    --impl_->counts.handlesOpen;
  }
  SimulatedHid(const SimulatedHid&) = delete;
  SimulatedHid& operator=(const SimulatedHid&) = delete;

  std::optional<seam::HidIdentity> identity() override {
    const std::lock_guard lock(impl_->mutex);
    const auto site = lookUp();
    if (!site || site->hid->faults.attributesFails) return std::nullopt;
    return identityOf(*site);
  }

  std::optional<seam::HidReportLengths> reportLengths() override {
    const std::lock_guard lock(impl_->mutex);
    const auto site = lookUp();
    if (!site || site->hid->faults.capsFails) return std::nullopt;
    return seam::HidReportLengths{site->hid->inputReportByteLength,
                                  site->hid->outputReportByteLength,
                                  site->hid->featureReportByteLength};
  }

  bool setFeature(std::span<const std::uint8_t> report) override {
    const std::lock_guard lock(impl_->mutex);
    Simulator::Impl& impl = *impl_;
    ++impl.counts.featureSets;
    const auto site = lookUp();
    if (!site || !acceptsReport(*site, report)) return false;
    if (site->firmware == nullptr) return true;  // delivered; nothing will answer
    const FirmwareFaults faults = site->firmware->faults;
    if (faults.setFeatureFails) return false;

    // The device sees the report up to the length it declares.
    Report request{};
    const std::size_t length =
        std::min({report.size(), request.size(), std::size_t{site->hid->featureReportByteLength}});
    std::copy_n(report.begin(), length, request.begin());

    const std::uint32_t now = impl.now();
    ControllerRuntime& runtime = impl.runtime[site->hid->path];
    ++runtime.requests;
    runtime.log.push_back(ReceivedRequest{now, request});
    // A new request always replaces the reply to the previous one, whichever
    // device object sent either.
    runtime.pending.reset();
    const bool silent = faults.silent || (faults.silentAfterRequests &&
                                          runtime.requests > *faults.silentAfterRequests);
    if (silent) return true;

    const FirmwareOutcome outcome = runRequest(site->firmware->state, request, faults.statusReply);
    runtime.pending = ControllerRuntime::Reply{outcome.reply, now, faults.replyDelayMs};
    if (outcome.switchPower && site->downstream != nullptr) {
      followPower(*site->downstream, *outcome.switchPower);
    }
    if (outcome.stateChanged) impl.persist();
    return true;
  }

  bool getFeature(std::span<std::uint8_t> report) override {
    const std::lock_guard lock(impl_->mutex);
    Simulator::Impl& impl = *impl_;
    ++impl.counts.featureGets;
    const auto site = lookUp();
    if (!site || !acceptsReport(*site, report) || site->firmware == nullptr) return false;
    const auto it = impl.runtime.find(site->hid->path);
    if (it == impl.runtime.end() || !it->second.pending) return false;
    const ControllerRuntime::Reply& reply = *it->second.pending;
    if (impl.now() - reply.requestTick < reply.delayMs) return false;
    const std::size_t n = std::min(report.size(), reply.bytes.size());
    std::copy_n(reply.bytes.begin(), n, report.begin());
    std::fill(report.begin() + static_cast<std::ptrdiff_t>(n), report.end(), std::uint8_t{0});
    it->second.pending.reset();  // each reply is read once
    return true;
  }

 private:
  // The present interface with the path (nullopt once it has gone). Called
  // with the mutex held.
  std::optional<HidSite> lookUp() {
    impl_->refresh();
    return findHid(impl_->world, path_);
  }

  std::shared_ptr<Simulator::Impl> impl_;
  std::u16string path_;
};

}  // namespace

std::optional<std::vector<seam::HidInterface>> Simulator::hidInterfaces() {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  if (impl_->world.hidListFails) return std::nullopt;
  ++impl_->counts.hidLists;
  std::vector<seam::HidInterface> list;
  forEachHid(impl_->world, [&](const HidSite& site) {
    seam::HidInterface& entry = list.emplace_back();
    const HidFaults& f = site.hid->faults;
    // An interface whose path cannot be read cannot be opened either.
    if (f.detailFails) return true;
    entry.path = site.hid->path;
    // As on Windows: the vendor and product are part of the path, the
    // serial is read only through an open interface.
    entry.identity = seam::HidIdentity{site.vendorId, site.productId, {}};
    entry.serialListed = false;
    return true;
  });
  return list;
}

std::unique_ptr<seam::HidDevice> Simulator::openHid(std::u16string_view path) {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findHid(impl_->world, path);
  if (!site || site->hid->faults.openFails) return nullptr;
  ++impl_->counts.hidOpens;
  ++impl_->counts.handlesOpen;
  return std::make_unique<SimulatedHid>(impl_, std::u16string(path));
}

}  // namespace korvex::sim
