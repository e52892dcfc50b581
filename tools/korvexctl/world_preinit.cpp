// korvexctl's pre-initialiser: settles the world file before the library is
// loaded (see world_select.h).
#include <unistd.h>

#include "world_select.h"

namespace korvexctl {

WorldSelection selectWorld(int argc, char** argv, char** envp) {
  const WorldRun run = planWorldRun(argc, argv, envp);
  if (run.selection != WorldSelection::Restart) return run.selection;
  execve("/proc/self/exe", argv, run.environment);
  return WorldSelection::Failed;
}

}  // namespace korvexctl

// Runs before the shared libraries' initialisers, the library's load
// handling among them.
extern "C" {
static void korvexctlSelectWorld(int argc, char** argv, char** envp) {
  korvexctl::selectWorld(argc, argv, envp);
}
__attribute__((section(".preinit_array"),
               used)) static void (*korvexctlPreinit)(int, char**, char**) = korvexctlSelectWorld;
}
