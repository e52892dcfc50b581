// Over the simulator, the library binds its world, loads its store and may
// start its watchdog while it is being loaded, before main() runs. So
// "--world FILE" must be in the environment (KORVEX_SIM_WORLD, absolute)
// before the library is loaded: when it is not, korvexctl runs itself again
// with it set. The check runs from the executable's pre-initialisers, which
// come before any shared library's load handling, and again from main() for
// loaders that have none.
//
// Everything here uses nothing but the C library's system calls and static
// storage, so that it can run before the runtime libraries are initialised.
#pragma once

namespace korvexctl {

enum class WorldSelection {
  NotAsked,  // no --world on the command line: the environment stands
  Selected,  // KORVEX_SIM_WORLD already names the --world file
  Restart,   // korvexctl must run again with the planned environment
  Failed,    // the file name is too long, or korvexctl could not run itself
};

struct WorldRun {
  WorldSelection selection = WorldSelection::NotAsked;
  // For Restart: envp without its KORVEX_SIM_WORLD, followed by the new
  // one, null-terminated. Static storage, overwritten by the next plan.
  char* const* environment = nullptr;
};

// Decides from the command line and the environment. A relative name is
// taken from the current folder without resolving links, so that the new
// run computes the very same text and does not start again.
WorldRun planWorldRun(int argc, char** argv, char** envp);

// Plans and, when needed, replaces the process with a new run of korvexctl.
// Returns only when no new run was needed, or when it could not be made.
WorldSelection selectWorld(int argc, char** argv, char** envp);

}  // namespace korvexctl
