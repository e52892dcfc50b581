// Simulator: construction, the bound file, the clock and inspection. The
// USB side is in simulator_usb.cpp, the HID side in simulator_hid.cpp.
#include "simulator/simulator.h"

#include <system_error>

#include "korvex/common/executable_folder.h"
#include "simulator/simulator_impl.h"

namespace korvex::sim {

// ---- Impl ----

void Simulator::Impl::refresh() {
  if (!file || !file->changedOnDisk()) return;
  try {
    world = file->load();
    fileError.reset();
  } catch (const std::exception& e) {
    fileError = e.what();
    file->acceptCurrentStamp();
  }
}

void Simulator::Impl::persist() {
  if (!file) return;
  try {
    file->save(world);
    fileError.reset();
  } catch (const std::exception& e) {
    fileError = e.what();
  }
}

std::uint32_t Simulator::Impl::now() {
  return isVirtual ? virtualClock.peek() : realClock.tickCount();
}

// ---- Construction ----

Simulator::Simulator(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  if (impl_->world.tickStart) impl_->realClock = portable::SteadyClock(*impl_->world.tickStart);
}

Simulator::~Simulator() = default;

std::unique_ptr<Simulator> Simulator::fromJson(std::string_view json) {
  auto impl = std::make_unique<Impl>();
  impl->world = worldFromJson(json);
  return std::unique_ptr<Simulator>(new Simulator(std::move(impl)));
}

std::unique_ptr<Simulator> Simulator::fromFile(const std::filesystem::path& file) {
  auto impl = std::make_unique<Impl>();
  impl->file.emplace(file);
  impl->world = impl->file->load();
  return std::unique_ptr<Simulator>(new Simulator(std::move(impl)));
}

// ---- seam::Clock ----

std::uint32_t Simulator::tickCount() {
  return impl_->isVirtual ? impl_->virtualClock.tick() : impl_->realClock.tickCount();
}

seam::LocalTime Simulator::localTime() {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  if (impl_->localTimeOverride) return *impl_->localTimeOverride;
  if (impl_->world.localTime) return *impl_->world.localTime;
  return portable::machineLocalTime();
}

bool Simulator::wait(std::uint32_t milliseconds, const StopSignal& stop) {
  return impl_->isVirtual ? impl_->virtualClock.wait(milliseconds, stop)
                          : impl_->realClock.wait(milliseconds, stop);
}

// ---- Time controls ----

void Simulator::useVirtualClock(std::uint32_t startTick, std::uint32_t stepPerTickCall,
                                VirtualWaits waits) {
  impl_->virtualClock.start(startTick, stepPerTickCall, waits == VirtualWaits::Advance);
  impl_->isVirtual = true;
}

void Simulator::advance(std::uint32_t milliseconds) {
  if (impl_->isVirtual) impl_->virtualClock.advance(milliseconds);
}

bool Simulator::advanceAndSettle(std::uint32_t milliseconds,
                                 std::chrono::milliseconds realTimeout) {
  return !impl_->isVirtual || impl_->virtualClock.advanceAndSettle(milliseconds, realTimeout);
}

std::size_t Simulator::blockedWaitsOf(std::uint32_t milliseconds) const {
  return impl_->virtualClock.blockedWaitsOf(milliseconds);
}

bool Simulator::waitForWaiters(std::size_t n, std::chrono::milliseconds realTimeout) {
  return impl_->virtualClock.waitForWaiters(n, realTimeout);
}

void Simulator::setLocalTime(const seam::LocalTime& t) {
  const std::lock_guard lock(impl_->mutex);
  impl_->localTimeOverride = t;
}

// ---- Inspection and control ----

CallCounts Simulator::counts() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->counts;
}

void Simulator::resetCounts() {
  const std::lock_guard lock(impl_->mutex);
  const std::uint64_t open = impl_->counts.handlesOpen;
  impl_->counts = CallCounts{};
  impl_->counts.handlesOpen = open;
}

std::optional<ControllerState> Simulator::controller(std::u16string_view serial) const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, serial);
  if (!site) return std::nullopt;
  return site->firmware->state;
}

std::vector<ReceivedRequest> Simulator::requestsTo(std::u16string_view serial) const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, serial);
  if (!site) return {};
  const auto it = impl_->runtime.find(site->hid->path);
  return it == impl_->runtime.end() ? std::vector<ReceivedRequest>{} : it->second.log;
}

std::string Simulator::toJson() const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  return worldToJson(impl_->world);
}

World Simulator::world() const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  return impl_->world;
}

void Simulator::changeWorld(const std::function<void(World&)>& change) {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  change(impl_->world);
  completeWorld(impl_->world);
  impl_->persist();
}

std::optional<Port> Simulator::downstreamPort(std::u16string_view controllerSerial) const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, controllerSerial);
  if (!site || site->downstream == nullptr) return std::nullopt;
  return *site->downstream;
}

std::optional<std::string> Simulator::fileError() const {
  const std::lock_guard lock(impl_->mutex);
  return impl_->fileError;
}

std::filesystem::path Simulator::libraryFolder() const {
  const std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  if (impl_->world.executableFolder) return std::filesystem::path(*impl_->world.executableFolder);
  if (impl_->file) {
    // A world kept in a file is a machine of its own: its program's files
    // (the library's store and log) live beside it.
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::absolute(impl_->file->path(), ec);
    return (ec ? impl_->file->path() : file).parent_path();
  }
  return executableFolder();
}

}  // namespace korvex::sim
