// The watchdog: a thread of the library that checks the listed hubs every
// Interval Time seconds and power-cycles those whose device is absent, hung
// unconfigured or replaced, logging each event.
//
// Stopping is prompt and leaves no hub without power: every wait of the
// thread (between cycles, for a controller's reply, for a busy log) ends
// when the stop signal is raised, the thread looks at the signal between
// records, and on its way out it switches on every hub it holds off. A
// thread is never ended from outside; one still inside a device call when
// the stop's wait runs out is let go and finishes by itself.
//
// One watchdog acts per store, across processes: a thread acts only while
// it holds the store's watchdog lock (a cross-process lock). The others
// wait in standby and try for the lock once an interval, so when the
// acting one's process ends another takes over within one interval.
// Whether recovery is on is the store's recovery-on byte, shared by all:
// a thread that finds it off (another process stopped recovery) ends.
#pragma once

#include <korvex.h>

#include <filesystem>
#include <mutex>
#include <utility>

#include "korvex/common/stop_signal.h"
#include "korvex/common/worker_thread.h"
#include "korvex/controller/controller_commands.h"
#include "korvex/recovery/auto_check_list.h"
#include "korvex/seam/clock.h"
#include "korvex/topology/device_queries.h"

namespace korvex::recovery {

// How long a stop waits for the thread before letting it go: far beyond a
// device call's own time-out.
inline constexpr std::uint32_t kStopWaitMs = 10000;
// How long the switch-ons at a stop wait for replies, all together. A
// request goes out whatever is left of it; a reply only confirms.
inline constexpr std::uint32_t kSwitchOnBudgetMs = 800;

class Watchdog {
 public:
  // The log file is written into folder. commands are the program's; the
  // thread uses a copy whose reply waits its stop ends.
  Watchdog(seam::Clock& clock, std::filesystem::path folder, topology::DeviceQueries& devices,
           controller::ControllerCommands& commands, AutoCheckList& list)
      : clock_(clock),
        folder_(std::move(folder)),
        devices_(devices),
        commands_(commands),
        ownCommands_(commands.stoppedBy(stop_)),
        list_(list) {}
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Hub_StartAutoRecovery: 0 when this process's watchdog runs already, or
  // when the thread cannot be created (recovery is then stored as off).
  int start();
  // Hub_StopAutoRecovery: 0 when recovery is off. Stores recovery as off
  // and returns once this process's thread, if any, has ended and switched
  // on the hubs it held off; another process's watchdog ends at its next
  // check and does the same.
  int stop();
  // Hub_GetAutoRecoveryStatus: 1 while recovery is on and a watchdog (this
  // process's, in standby or acting, or another's) keeps it.
  int status();

  // Hub_DeleteAutoCheckDeviceInfo: a hub whose power is held off is
  // switched on once it is off the list.
  int deleteListed(const HubDeviceInfo* info);

  // Switches on every listed hub whose power is held off and clears its
  // countdown, the replies waited for kSwitchOnBudgetMs at most in all.
  void switchOnHeldOff();
  // The same, unless another process's watchdog acts on the list: the
  // countdowns are then its own.
  void switchOnHeldOffUnlessWatched();

  // Unload: ends a running watchdog without touching the recovery-on byte,
  // so that it starts again with the next load.
  void stopForUnload();

  // Process exit: the system has ended the thread already, maybe while it
  // held a lock; forget it, taking no lock.
  void abandon();

  // Whether this process's watchdog thread runs (acting or in standby).
  bool running();

  // One check cycle, as the thread runs it (without the thread: for tests).
  void runCheckCycle(std::uint8_t offTime);

 private:
  void threadMain();
  void endThread();
  // Whether a watchdog of another process holds the store's watchdog lock.
  bool watchedElsewhere();
  // stop: the thread's signal, ending waits and the cycle early; none for
  // a cycle run without the thread.
  void checkCycle(std::uint8_t offTime, controller::ControllerCommands& commands,
                  const StopSignal* stop);
  void processRecord(const AutoCheckList::Watched& watched, std::uint8_t offTime,
                     controller::ControllerCommands& commands, const StopSignal* stop);

  seam::Clock& clock_;
  const std::filesystem::path folder_;
  topology::DeviceQueries& devices_;
  controller::ControllerCommands& commands_;
  StopSignal stop_;  // raised to end the thread; reset only while none runs
  controller::ControllerCommands ownCommands_;  // the thread's, ended by stop_
  AutoCheckList& list_;

  // Held by the thread for one whole check cycle; taken before LibraryLock.
  std::mutex WatchdogLock;
  std::mutex controlLock_;  // start, stop and unload, one at a time
  WorkerThread thread_;
};

}  // namespace korvex::recovery
