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

  // Hub_StartAutoRecovery: 0 when a watchdog runs already, or when the
  // thread cannot be created (recovery is then stored as off).
  int start();
  // Hub_StopAutoRecovery: 0 when none runs. Returns once the thread has
  // ended and switched on the hubs it held off.
  int stop();
  // Hub_GetAutoRecoveryStatus.
  int status() { return list_.recoveryOn() ? 1 : 0; }

  // Hub_DeleteAutoCheckDeviceInfo: a hub whose power is held off is
  // switched on once it is off the list.
  int deleteListed(const HubDeviceInfo* info);

  // Switches on every listed hub whose power is held off and clears its
  // countdown, the replies waited for kSwitchOnBudgetMs at most in all.
  void switchOnHeldOff();

  // Unload: ends a running watchdog without touching the recovery-on byte,
  // so that it starts again with the next load.
  void stopForUnload();

  // Process exit: the system has ended the thread already, maybe while it
  // held a lock; forget it, taking no lock.
  void abandon();

  bool running() const { return thread_.exists(); }

  // One check cycle, as the thread runs it (without the thread: for tests).
  void runCheckCycle(std::uint8_t offTime);

 private:
  void threadMain();
  void endThread();
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
