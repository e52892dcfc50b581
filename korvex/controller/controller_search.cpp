#include "korvex/controller/controller_search.h"

#include <algorithm>
#include <array>

#include "korvex/common/utf16.h"
#include "korvex/seam/controller_protocol.h"

namespace korvex::controller {

bool isController(const seam::HidIdentity& identity) {
  return identity.vendorId == protocol::kControllerVendorId &&
         identity.productId == protocol::kControllerProductId;
}

bool serialMatches(const seam::HidIdentity& identity, const char16_t* serial) {
  if (serial == nullptr) return false;
  std::array<char16_t, seam::kHidSerialUnits> buffer{};
  std::copy_n(identity.serial.begin(), std::min(identity.serial.size(), buffer.size()),
              buffer.begin());
  return equalTerminated(buffer.data(), serial, buffer.size());
}

ControllerHandle withReportLengths(std::unique_ptr<seam::HidDevice> device) {
  if (!device) return {};
  const auto lengths = device->reportLengths();
  if (!lengths) return {};
  return ControllerHandle{std::move(device), *lengths};
}

namespace {

// Records a controller seen at path; when it is one of the wanted ones not
// yet decided, makes it the found one from device (opened when null).
class SearchResult {
 public:
  SearchResult(seam::UsbHost& host, std::span<const char16_t* const> wanted)
      : host_(host), wanted_(wanted) {
    result_.found.resize(wanted.size());
    result_.failures.assign(wanted.size(), FailureReason::NoSuchController);
    decided_.assign(wanted.size(), false);
  }

  void seen(const seam::HidIdentity& identity, const std::u16string& path,
            std::unique_ptr<seam::HidDevice> device) {
    // A serial that fills the system's buffer matches nothing: not kept.
    if (identity.serial.size() < seam::kHidSerialUnits)
      result_.paths.try_emplace(identity.serial, path);
    for (std::size_t i = 0; i < wanted_.size(); ++i) {
      if (decided_[i] || !serialMatches(identity, wanted_[i])) continue;
      decided_[i] = true;
      if (!device) device = host_.openHid(path);
      result_.found[i] = withReportLengths(std::move(device));
      result_.failures[i] =
          result_.found[i].isOpen() ? FailureReason::None : FailureReason::DeviceError;
      return;
    }
  }

  void unreadable() { unreadableSeen_ = true; }

  ControllerSearch take(bool listed) {
    result_.listed = listed;
    for (std::size_t i = 0; i < wanted_.size(); ++i) {
      if (!decided_[i] && (unreadableSeen_ || !listed)) {
        result_.failures[i] = FailureReason::DeviceError;
      }
    }
    return std::move(result_);
  }

 private:
  seam::UsbHost& host_;
  std::span<const char16_t* const> wanted_;
  ControllerSearch result_;
  std::vector<bool> decided_;
  bool unreadableSeen_ = false;
};

}  // namespace

ControllerSearch SearchControllers(seam::UsbHost& host, std::span<const char16_t* const> wanted) {
  SearchResult result(host, wanted);
  const auto interfaces = host.hidInterfaces();
  if (!interfaces) return result.take(false);
  for (const seam::HidInterface& candidate : *interfaces) {
    if (candidate.path.empty()) {
      result.unreadable();
      continue;
    }
    if (candidate.identity && !isController(*candidate.identity)) continue;
    if (candidate.identity && candidate.serialListed) {
      result.seen(*candidate.identity, candidate.path, nullptr);
      continue;
    }
    auto device = host.openHid(candidate.path);
    const auto identity = device ? device->identity() : std::nullopt;
    if (!identity) {
      result.unreadable();
    } else if (isController(*identity)) {
      result.seen(*identity, candidate.path, std::move(device));
    }
  }
  return result.take(true);
}

ControllerHandle OpenController(seam::UsbHost& host, const char16_t* serial) {
  if (serial == nullptr) {
    setFailureReason(FailureReason::BadArgument);
    return {};
  }
  const char16_t* const wanted[] = {serial};
  ControllerSearch search = SearchControllers(host, wanted);
  if (!search.found[0].isOpen()) setFailureReason(search.failures[0]);
  return std::move(search.found[0]);
}

}  // namespace korvex::controller
