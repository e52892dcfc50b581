// The watchdog: a thread of the library that checks the listed hubs every
// Interval Time seconds and power-cycles those whose device is absent, hung
// unconfigured or replaced, logging each event.
//
// Stopping is prompt: the thread's waits end when the stop signal is
// raised, and it looks at the signal between records, so a stop returns
// once the record in hand is done. The forced end after 10000 ms is
// kept only as a last resort.
#pragma once

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

inline constexpr std::uint32_t kStopWaitMs = 10000;

class Watchdog {
 public:
  // The log file is written into folder.
  Watchdog(seam::Clock& clock, std::filesystem::path folder, topology::DeviceQueries& devices,
           controller::ControllerCommands& commands, AutoCheckList& list)
      : clock_(clock),
        folder_(std::move(folder)),
        devices_(devices),
        commands_(commands),
        list_(list) {}
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Hub_StartAutoRecovery: 0 when a watchdog runs already, or when the
  // thread cannot be created (recovery then stays off).
  int start();
  // Hub_StopAutoRecovery: 0 when none runs.
  int stop();
  // Hub_GetAutoRecoveryStatus.
  int status() { return list_.recoveryOn() ? 1 : 0; }

  // Unload: ends a running watchdog without touching the recovery-on byte,
  // so that it starts again with the next load.
  void stopForUnload();

  // Process exit: the system has ended the thread already; forget it.
  void abandon();

  bool running() const { return thread_.exists(); }

  // One check cycle, as the thread runs it (without the thread: for tests).
  void runCheckCycle(std::uint8_t offTime);

 private:
  void threadMain();
  // Ends the thread; false when it had to be ended forcibly.
  bool endThread();
  void checkCycle(std::uint8_t offTime, bool stoppable);
  void processRecord(const AutoCheckList::Watched& watched, std::uint8_t offTime);

  seam::Clock& clock_;
  const std::filesystem::path folder_;
  topology::DeviceQueries& devices_;
  controller::ControllerCommands& commands_;
  AutoCheckList& list_;

  // Held by the thread for one whole check cycle; taken before LibraryLock.
  std::mutex WatchdogLock;
  std::mutex controlLock_;  // start, stop and unload, one at a time
  WorkerThread thread_;
  StopSignal stop_;  // raised to end the thread; reset only while none runs
};

}  // namespace korvex::recovery
