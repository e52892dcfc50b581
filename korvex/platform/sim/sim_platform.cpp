// SimPlatform: construction, handles, time, the process, and inspection.
// The HID entries are in sim_platform_hid.cpp, the USB node entries in
// sim_platform_usb.cpp, events and the clock controls in
// sim_platform_events.cpp, files in sim_platform_files.cpp and threads in
// sim_platform_threads.cpp.
#include "korvex/platform/sim/sim_platform.h"

#include <chrono>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "korvex/platform/sim/host_system.h"
#include "korvex/platform/sim/sim_platform_impl.h"
#include "korvex/platform/sim/world_json.h"

namespace korvex::sim {

namespace {

// The folder ending in a separator: its own kind, else the machine's.
std::u16string endedFolder(std::u16string folder) {
  if (folder.empty() || folder.back() == u'/' || folder.back() == u'\\') return folder;
  const auto last = folder.find_last_of(u"/\\");
  folder += last != std::u16string::npos
                ? folder[last]
                : static_cast<char16_t>(std::filesystem::path::preferred_separator);
  return folder;
}

}  // namespace

// ---- Impl ----

void SimPlatform::Impl::refresh() {
  if (!file || !file->changedOnDisk()) return;
  try {
    world = file->load();
    fileError.reset();
  } catch (const std::exception& e) {
    fileError = e.what();
    file->acceptCurrentStamp();
  }
}

void SimPlatform::Impl::persist() {
  if (!file) return;
  try {
    file->save(world);
    fileError.reset();
  } catch (const std::exception& e) {
    fileError = e.what();
  }
}

platform::Handle SimPlatform::Impl::open(OpenHandle::Kind kind, std::u16string_view path) {
  const platform::Handle h = nextHandle;
  nextHandle += 4;  // handle values are never reused
  handles.emplace(h, OpenHandle{kind, std::u16string(path)});
  return h;
}

std::optional<OpenHandle::Kind> SimPlatform::Impl::kindOf(platform::Handle h) const {
  const auto it = handles.find(h);
  if (it == handles.end()) return std::nullopt;
  return it->second.kind;
}

std::optional<HidSite> SimPlatform::Impl::hidFor(platform::Handle h) {
  const auto it = handles.find(h);
  if (it == handles.end() || it->second.kind != OpenHandle::Kind::Hid) return std::nullopt;
  return findHid(world, it->second.path);
}

// ---- Construction ----

SimPlatform::SimPlatform(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  if (impl_->world.tickStart) impl_->clock.startRealAt(*impl_->world.tickStart);
}

SimPlatform::SimPlatform(Key, std::unique_ptr<Impl> impl) : SimPlatform(std::move(impl)) {}

SimPlatform::~SimPlatform() {
  impl_->endThreads();
}

std::unique_ptr<SimPlatform> SimPlatform::fromJson(std::string_view json) {
  auto impl = std::make_unique<Impl>();
  impl->world = worldFromJson(json);
  return std::make_unique<SimPlatform>(Key{}, std::move(impl));
}

std::unique_ptr<SimPlatform> SimPlatform::fromFile(const std::filesystem::path& file) {
  auto impl = std::make_unique<Impl>();
  impl->file.emplace(file);
  impl->world = impl->file->load();
  return std::make_unique<SimPlatform>(Key{}, std::move(impl));
}

// ---- Handles ----

void SimPlatform::close(platform::Handle h) {
  std::unique_lock lock(impl_->mutex);
  Impl& impl = *impl_;
  const auto kind = impl.kindOf(h);
  if (!kind) return;
  if (*kind == OpenHandle::Kind::Thread) {
    impl.releaseThread(lock, h);
    return;
  }
  impl.handles.erase(h);
  ++impl.counts.closes;
  // A wait on a closed event keeps the event until it returns.
  impl.events.erase(h);
  impl.files.erase(h);
}

// ---- Time ----

std::uint32_t SimPlatform::tickCount() {
  std::lock_guard lock(impl_->mutex);
  const std::uint32_t now = impl_->clock.tick();
  if (impl_->clock.isVirtual()) impl_->timeMoved();
  return now;
}

platform::LocalTime SimPlatform::localTime() {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  if (impl_->localTimeOverride) return *impl_->localTimeOverride;
  if (impl_->world.localTime) return *impl_->world.localTime;
  return realLocalTime();
}

void SimPlatform::sleep(std::uint32_t milliseconds) {
  {
    std::lock_guard lock(impl_->mutex);
    if (impl_->clock.isVirtual()) {
      impl_->clock.advance(milliseconds);
      impl_->timeMoved();
      return;
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void SimPlatform::useVirtualClock(std::uint32_t startTick, std::uint32_t stepPerTickCall) {
  std::lock_guard lock(impl_->mutex);
  impl_->clock.useVirtual(startTick, stepPerTickCall);
  impl_->timeMoved();
}

void SimPlatform::advance(std::uint32_t milliseconds) {
  std::lock_guard lock(impl_->mutex);
  impl_->clock.advance(milliseconds);
  impl_->timeMoved();
}

void SimPlatform::setLocalTime(const platform::LocalTime& t) {
  std::lock_guard lock(impl_->mutex);
  impl_->localTimeOverride = t;
}

// ---- Process ----

std::u16string SimPlatform::executableFolder() {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  if (impl_->world.executableFolder) return endedFolder(*impl_->world.executableFolder);
  if (impl_->file) {
    // A world kept in a file is a machine of its own: its program's files
    // (the library's store and log) live beside it.
    std::error_code ec;
    const std::filesystem::path file = std::filesystem::absolute(impl_->file->path(), ec);
    return endedFolder((ec ? impl_->file->path() : file).parent_path().u16string());
  }
  return realExecutableFolder();
}

// ---- Inspection and control ----

CallCounts SimPlatform::counts() const {
  std::lock_guard lock(impl_->mutex);
  CallCounts c = impl_->counts;
  c.handlesOpen = impl_->handles.size();
  return c;
}

void SimPlatform::resetCounts() {
  std::lock_guard lock(impl_->mutex);
  impl_->counts = CallCounts{};
}

std::optional<ControllerState> SimPlatform::controller(std::u16string_view serial) const {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, serial);
  if (!site) return std::nullopt;
  return site->firmware->state;
}

std::vector<ReceivedRequest> SimPlatform::requestsTo(std::u16string_view serial) const {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, serial);
  if (!site) return {};
  const auto it = impl_->runtime.find(site->hid->path);
  return it == impl_->runtime.end() ? std::vector<ReceivedRequest>{} : it->second.log;
}

std::string SimPlatform::toJson() const {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  return worldToJson(impl_->world);
}

World SimPlatform::world() const {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  return impl_->world;
}

void SimPlatform::changeWorld(const std::function<void(World&)>& change) {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  change(impl_->world);
  completeWorld(impl_->world);
  impl_->persist();
}

std::optional<Port> SimPlatform::downstreamPort(std::u16string_view controllerSerial) const {
  std::lock_guard lock(impl_->mutex);
  impl_->refresh();
  const auto site = findController(impl_->world, controllerSerial);
  if (!site || site->downstream == nullptr) return std::nullopt;
  return *site->downstream;
}

std::optional<std::string> SimPlatform::fileError() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->fileError;
}

}  // namespace korvex::sim
