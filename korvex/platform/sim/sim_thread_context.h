// Which simulated thread the calling thread is, so that a wait can mark its
// thread as blocked.
#pragma once

namespace korvex::sim {

struct SimThread;

// The calling thread's SimThread when the platform `owner` started it,
// else nullptr.
SimThread* currentSimThread(const void* owner);

// Marks the calling thread as `thread` of the platform `owner` for as long
// as the guard lives.
class SimThreadScope {
 public:
  SimThreadScope(const void* owner, SimThread* thread);
  ~SimThreadScope();
  SimThreadScope(const SimThreadScope&) = delete;
  SimThreadScope& operator=(const SimThreadScope&) = delete;
};

}  // namespace korvex::sim
