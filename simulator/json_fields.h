// Reading one JSON object of a world file: typed fields with defaults, and
// error messages that name where in the file the bad value sits.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace korvex::sim {

using Json = nlohmann::ordered_json;

// Throws std::runtime_error "world file: <where>: <what>".
[[noreturn]] void failAt(const std::string& where, const std::string& what);

class Fields {
 public:
  // Fails unless j is an object whose keys are all in allowed or
  // alsoAllowed. Keys that start with "_" are comments and are ignored.
  Fields(const Json& j, std::string where, std::initializer_list<std::string_view> allowed,
         std::initializer_list<std::string_view> alsoAllowed = {});

  const std::string& where() const { return where_; }
  std::string at(std::string_view key) const {
    return where_.empty() ? std::string(key) : where_ + "." + std::string(key);
  }

  // The value under key, or nullptr when it is absent or null.
  const Json* find(std::string_view key) const;

  // Unsigned integer: a JSON number, or a string in decimal or "0x" hex.
  template <class T>
  T number(std::string_view key, T fallback) const {
    const auto v = optionalNumber<T>(key);
    return v ? *v : fallback;
  }
  template <class T>
  std::optional<T> optionalNumber(std::string_view key) const {
    const Json* j = find(key);
    if (j == nullptr) return std::nullopt;
    return static_cast<T>(readNumber(*j, at(key), std::numeric_limits<T>::max()));
  }

  // true/false, or the numbers 0 and 1.
  bool flag(std::string_view key, bool fallback = false) const;

  std::u16string text(std::string_view key, std::u16string_view fallback = {}) const;
  std::optional<std::u16string> optionalText(std::string_view key) const;

  // A hex string of at most maxBytes bytes.
  std::vector<std::uint8_t> bytes(std::string_view key, std::size_t maxBytes) const;

  // An array of unsigned numbers, each at most max.
  std::vector<std::uint64_t> numbers(std::string_view key, std::uint64_t max) const;

  // A string that must be one of choices; returns its index, or fallback
  // when the key is absent.
  std::size_t choice(std::string_view key, std::initializer_list<std::string_view> choices,
                     std::size_t fallback) const;

  static std::uint64_t readNumber(const Json& j, const std::string& where, std::uint64_t max);

 private:
  const Json& json_;
  std::string where_;
};

}  // namespace korvex::sim
