#include "unplugged_devices.h"

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace korvexctl {

namespace {

namespace fs = std::filesystem;
using Json = nlohmann::json;

Json readAll(const fs::path& file) {
  std::error_code ec;
  if (!fs::exists(file, ec)) return Json::object();
  std::ifstream in(file);
  Json all = Json::parse(in, nullptr, false);
  if (!all.is_object()) throw std::runtime_error(file.string() + " is not a JSON object");
  return all;
}

}  // namespace

UnpluggedDevices::UnpluggedDevices(const fs::path& worldFile)
    : file_(worldFile.parent_path() / (worldFile.stem().string() + ".unplugged.json")) {}

std::optional<Json> UnpluggedDevices::find(const std::string& serial) const {
  const Json all = readAll(file_);
  const auto it = all.find(serial);
  if (it == all.end()) return std::nullopt;
  return *it;
}

void UnpluggedDevices::keep(const std::string& serial, const std::optional<Json>& device) const {
  Json all = readAll(file_);
  if (device) {
    all[serial] = *device;
  } else {
    all.erase(serial);
  }
  std::error_code ec;
  if (all.empty()) {
    fs::remove(file_, ec);
    return;
  }
  const fs::path temporary = file_.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << all.dump(2) << '\n';
    if (!out.flush()) throw std::runtime_error("cannot write " + temporary.string());
  }
  fs::rename(temporary, file_, ec);
  if (ec) throw std::runtime_error("cannot write " + file_.string() + ": " + ec.message());
}

}  // namespace korvexctl
