#include "korvex/platform/sim/sim_thread_context.h"

namespace korvex::sim {

namespace {

struct Context {
  const void* owner = nullptr;
  SimThread* thread = nullptr;
};

thread_local Context current;

}  // namespace

SimThread* currentSimThread(const void* owner) {
  return current.owner == owner ? current.thread : nullptr;
}

SimThreadScope::SimThreadScope(const void* owner, SimThread* thread) {
  current = Context{owner, thread};
}

SimThreadScope::~SimThreadScope() {
  current = Context{};
}

}  // namespace korvex::sim
