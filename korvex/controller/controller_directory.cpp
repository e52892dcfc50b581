#include "korvex/controller/controller_directory.h"

#include <optional>

namespace korvex::controller {

namespace {

// The remembered path of serial, when there is one.
std::optional<std::u16string> pathOf(const std::map<std::u16string, std::u16string>& paths,
                                     const char16_t* serial) {
  if (serial == nullptr) return std::nullopt;
  const auto it = paths.find(std::u16string(serial));
  if (it == paths.end()) return std::nullopt;
  return it->second;
}

}  // namespace

ControllerHandle ControllerDirectory::openRemembered(const char16_t* serial) {
  std::optional<std::u16string> path;
  {
    const std::lock_guard lock(pathsLock_);
    path = pathOf(paths_, serial);
  }
  if (!path) return {};
  auto device = host_.openHid(*path);
  const auto identity = device ? device->identity() : std::nullopt;
  if (!identity || !isController(*identity) || !serialMatches(*identity, serial)) return {};
  return withReportLengths(std::move(device));
}

ControllerDirectory::Opened ControllerDirectory::openEach(
    std::span<const char16_t* const> serials) {
  Opened opened;
  opened.handles.resize(serials.size());
  opened.failures.assign(serials.size(), FailureReason::None);
  std::uint64_t enumerationsBefore = 0;
  {
    const std::lock_guard lock(pathsLock_);
    enumerationsBefore = enumerations_;
  }
  std::vector<std::size_t> missing;
  for (std::size_t i = 0; i < serials.size(); ++i) {
    opened.handles[i] = openRemembered(serials[i]);
    if (!opened.handles[i].isOpen()) missing.push_back(i);
  }
  if (missing.empty()) return opened;

  const std::lock_guard search(searchLock_);
  bool renewedMeanwhile = false;
  {
    const std::lock_guard lock(pathsLock_);
    renewedMeanwhile = enumerations_ != enumerationsBefore;
  }
  if (renewedMeanwhile) {
    // Another thread has just enumerated: its paths are as fresh as ours
    // would be.
    std::erase_if(missing, [&](std::size_t i) {
      opened.handles[i] = openRemembered(serials[i]);
      return opened.handles[i].isOpen();
    });
    if (missing.empty()) return opened;
  }
  std::vector<const char16_t*> wanted;
  for (const std::size_t i : missing) wanted.push_back(serials[i]);
  ControllerSearch found = SearchControllers(host_, wanted);
  if (found.listed) {
    const std::lock_guard lock(pathsLock_);
    paths_ = std::move(found.paths);
    ++enumerations_;
  }
  for (std::size_t k = 0; k < missing.size(); ++k) {
    opened.handles[missing[k]] = std::move(found.found[k]);
    opened.failures[missing[k]] = found.failures[k];
  }
  return opened;
}

ControllerHandle ControllerDirectory::open(const char16_t* serial) {
  if (serial == nullptr) {
    setFailureReason(FailureReason::BadArgument);
    return {};
  }
  const char16_t* const serials[] = {serial};
  Opened opened = openEach(serials);
  if (!opened.handles[0].isOpen()) setFailureReason(opened.failures[0]);
  return std::move(opened.handles[0]);
}

std::vector<ControllerHandle> ControllerDirectory::openAll(
    std::span<const char16_t* const> serials) {
  return openEach(serials).handles;
}

}  // namespace korvex::controller
