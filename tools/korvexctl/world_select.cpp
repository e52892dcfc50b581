#include "world_select.h"

#include <limits.h>
#include <string.h>
#include <unistd.h>

namespace korvexctl {

namespace {

constexpr char kAssign[] = "KORVEX_SIM_WORLD=";
constexpr size_t kAssignLength = sizeof kAssign - 1;
constexpr size_t kMaxEnvironment = 4096;

// The last --world value, as the command line parser takes it.
const char* worldArgument(int argc, char** argv) {
  const char* world = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--world") == 0 && i + 1 < argc) {
      world = argv[++i];
    } else if (strncmp(argv[i], "--world=", 8) == 0) {
      world = argv[i] + 8;
    }
  }
  return world != nullptr && *world != '\0' ? world : nullptr;
}

// "KORVEX_SIM_WORLD=" and the absolute file name, or false when it does
// not fit.
bool assignment(const char* world, char* out, size_t size) {
  if (size <= kAssignLength) return false;
  memcpy(out, kAssign, kAssignLength);
  char* path = out + kAssignLength;
  const size_t room = size - kAssignLength;
  size_t used = 0;
  if (world[0] != '/') {
    if (getcwd(path, room) == nullptr) return false;
    used = strlen(path);
    if (used + 1 >= room) return false;
    if (used == 0 || path[used - 1] != '/') path[used++] = '/';
  }
  const size_t length = strlen(world);
  if (used + length >= room) return false;
  memcpy(path + used, world, length + 1);
  return true;
}

}  // namespace

WorldRun planWorldRun(int argc, char** argv, char** envp) {
  const char* world = worldArgument(argc, argv);
  if (world == nullptr) return {WorldSelection::NotAsked, nullptr};
  static char wanted[kAssignLength + PATH_MAX + 1];
  if (!assignment(world, wanted, sizeof wanted)) return {WorldSelection::Failed, nullptr};

  static char* environment[kMaxEnvironment + 2];
  size_t count = 0;
  for (char** e = envp; e != nullptr && *e != nullptr; ++e) {
    if (strncmp(*e, kAssign, kAssignLength) == 0) {
      if (strcmp(*e, wanted) == 0) return {WorldSelection::Selected, nullptr};
      continue;
    }
    if (count == kMaxEnvironment) return {WorldSelection::Failed, nullptr};
    environment[count++] = *e;
  }
  environment[count++] = wanted;
  environment[count] = nullptr;
  return {WorldSelection::Restart, environment};
}

}  // namespace korvexctl
