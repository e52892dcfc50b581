// Roles that a test program plays when one of its tests starts it again as
// a child process, for what can only be seen from outside a process (its
// end, for one). A test file registers its roles at start-up; the child
// runs the role instead of the tests, and the role's result is the child's
// exit code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::wine {

inline constexpr std::string_view kChildRoleFlag = "--korvex-child=";

using ChildRole = int (*)(const std::vector<std::string>& arguments);

// Returns true, for use as the initializer of a namespace-scope constant.
bool registerChildRole(std::string name, ChildRole role);

// The role named by a kChildRoleFlag argument, run with the arguments that
// follow it; nullopt when there is no such argument. An unknown role ends
// the child with 2.
std::optional<int> playChildRole(int argc, char** argv);

// The command-line tail that makes this program play the role.
std::wstring childRoleArguments(std::string_view name, const std::vector<std::string>& arguments);

}  // namespace korvex::wine
