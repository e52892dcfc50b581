#include "simulator/json_fields.h"

#include <stdexcept>

#include "korvex/common/utf16.h"
#include "simulator/text_codec.h"

namespace korvex::sim {

void failAt(const std::string& where, const std::string& what) {
  throw std::runtime_error("world file: " + where + ": " + what);
}

Fields::Fields(const Json& j, std::string where, std::initializer_list<std::string_view> allowed,
               std::initializer_list<std::string_view> alsoAllowed)
    : json_(j), where_(std::move(where)) {
  if (!json_.is_object()) failAt(where_, "expected an object");
  for (const auto& item : json_.items()) {
    const std::string& key = item.key();
    if (!key.empty() && key[0] == '_') continue;
    bool known = false;
    for (const std::string_view a : allowed) known = known || key == a;
    for (const std::string_view a : alsoAllowed) known = known || key == a;
    if (!known) failAt(at(key), "unknown field");
  }
}

const Json* Fields::find(std::string_view key) const {
  const auto it = json_.find(std::string(key));
  if (it == json_.end() || it->is_null()) return nullptr;
  return &*it;
}

std::uint64_t Fields::readNumber(const Json& j, const std::string& where, std::uint64_t max) {
  std::optional<std::uint64_t> value;
  if (j.is_number_unsigned()) {
    value = j.get<std::uint64_t>();
  } else if (j.is_number_integer()) {
    failAt(where, "expected a number of 0 or more");
  } else if (j.is_string()) {
    value = parseNumberText(j.get_ref<const std::string&>());
    if (!value) failAt(where, "expected a decimal number or \"0x\" and hex digits");
  } else {
    failAt(where, "expected a number or a \"0x...\" string");
  }
  if (*value > max) {
    failAt(where, std::to_string(*value) + " is larger than " + std::to_string(max));
  }
  return *value;
}

bool Fields::flag(std::string_view key, bool fallback) const {
  const Json* j = find(key);
  if (j == nullptr) return fallback;
  if (j->is_boolean()) return j->get<bool>();
  if (j->is_number_unsigned() && j->get<std::uint64_t>() <= 1) return j->get<std::uint64_t>() == 1;
  failAt(at(key), "expected true or false");
}

std::u16string Fields::text(std::string_view key, std::u16string_view fallback) const {
  const auto v = optionalText(key);
  return v ? *v : std::u16string(fallback);
}

std::optional<std::u16string> Fields::optionalText(std::string_view key) const {
  const Json* j = find(key);
  if (j == nullptr) return std::nullopt;
  if (!j->is_string()) failAt(at(key), "expected a string");
  return fromUtf8(j->get_ref<const std::string&>());
}

std::vector<std::uint8_t> Fields::bytes(std::string_view key, std::size_t maxBytes) const {
  const Json* j = find(key);
  if (j == nullptr) return {};
  if (!j->is_string()) failAt(at(key), "expected a string of hex digits");
  auto v = parseHexBytes(j->get_ref<const std::string&>());
  if (!v) failAt(at(key), "expected pairs of hex digits");
  if (v->size() > maxBytes) {
    failAt(at(key), std::to_string(v->size()) + " bytes given, at most " +
                        std::to_string(maxBytes) + " fit");
  }
  return *v;
}

std::vector<std::uint64_t> Fields::numbers(std::string_view key, std::uint64_t max) const {
  const Json* j = find(key);
  if (j == nullptr) return {};
  if (!j->is_array()) failAt(at(key), "expected an array");
  std::vector<std::uint64_t> out;
  for (std::size_t i = 0; i < j->size(); ++i) {
    out.push_back(readNumber((*j)[i], at(key) + "[" + std::to_string(i) + "]", max));
  }
  return out;
}

std::size_t Fields::choice(std::string_view key, std::initializer_list<std::string_view> choices,
                           std::size_t fallback) const {
  const Json* j = find(key);
  if (j == nullptr) return fallback;
  std::string list;
  std::size_t index = 0;
  for (const std::string_view c : choices) {
    if (j->is_string() && j->get_ref<const std::string&>() == c) return index;
    list += (index == 0 ? "" : ", ") + std::string("\"") + std::string(c) + "\"";
    ++index;
  }
  failAt(at(key), "expected one of " + list);
}

}  // namespace korvex::sim
