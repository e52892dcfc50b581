#include "child_roles.h"

#include <cstdio>
#include <map>

#include "sandbox.h"

namespace korvex::wine {

namespace {

std::map<std::string, ChildRole, std::less<>>& roles() {
  static std::map<std::string, ChildRole, std::less<>> registered;
  return registered;
}

std::wstring widened(std::string_view s) {
  return std::wstring(s.begin(), s.end());
}

}  // namespace

bool registerChildRole(std::string name, ChildRole role) {
  return roles().emplace(std::move(name), role).second;
}

std::optional<int> playChildRole(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!argument.starts_with(kChildRoleFlag)) continue;
    const std::string_view name = argument.substr(kChildRoleFlag.size());
    const auto role = roles().find(name);
    if (role == roles().end()) {
      std::fprintf(stderr, "unknown child role '%.*s'\n", static_cast<int>(name.size()),
                   name.data());
      return 2;
    }
    return role->second(std::vector<std::string>(argv + i + 1, argv + argc));
  }
  return std::nullopt;
}

std::wstring childRoleArguments(std::string_view name, const std::vector<std::string>& arguments) {
  // The child runs in the folder of this process, so it is marked as
  // sandboxed already.
  std::wstring line = widened(kSandboxedFlag) + L" " + widened(kChildRoleFlag) + widened(name);
  for (const std::string& argument : arguments) line += L" " + widened(argument);
  return line;
}

}  // namespace korvex::wine
