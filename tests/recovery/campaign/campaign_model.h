// What the library's list and watchdog must do, written apart from the
// library's code: the list with each record's counters, the settings the
// running watchdog took at its start, the log lines and, per hub, the power
// commands due to reach it. Compared with the library after every step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "korvex/common/utf16.h"

namespace korvex::campaign {

struct ModelRecord {
  std::u16string serial, product;
  std::uint16_t vid = 0, pid = 0;
  std::uint8_t countdown = 0;  // cycles until the power goes on again
  std::uint8_t failures = 0;   // cycles in a row found connected, not configured
};

struct Seen {  // one hub as a scan shows it
  bool found = false;
  std::uint32_t connection = 0;
  std::uint8_t configuration = 0;
  std::uint16_t vid = 0, pid = 0;
};

struct WatchdogModel {
  std::function<Seen(const std::u16string&)> seen;  // the hub as it stands now
  std::vector<ModelRecord> list;
  std::uint8_t interval = 1, offTime = 1;              // in memory
  std::uint8_t storedInterval = 1, storedOffTime = 1;  // in the store file
  bool stored = false;                                 // the file written at all
  bool running = false;
  std::uint32_t runInterval = 1, seconds = 0;  // as the running watchdog took them
  std::uint8_t runOffTime = 1;
  std::vector<std::string> log;                          // lines without their time
  std::map<std::u16string, std::vector<bool>> commands;  // due to a hub there: on or off

  void written() { storedInterval = interval, storedOffTime = offTime, stored = true; }
  // Set for a cycle that a stop cuts short: the cycle ends with the first
  // record that sends a command to a hub for which it is true.
  std::function<bool(const std::u16string&)> holdsUp;
  bool heldUp = false;

  void send(const std::u16string& serial, bool on) {
    if (!seen(serial).found) return;
    commands[serial].push_back(on);
    heldUp = heldUp || (holdsUp && holdsUp(serial));
  }
  // The first record with this serial goes; a hub it held off is switched on.
  bool remove(const std::u16string& serial) {
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const auto& r) { return r.serial == serial; });
    if (it == list.end()) return false;
    if (it->countdown != 0) send(serial, true);
    list.erase(it);
    written();
    return true;
  }
  void start() {
    running = true, runInterval = std::max<std::uint32_t>(interval, 1), runOffTime = offTime;
    seconds = 0;
    written();
  }
  // Every hub held off is switched on, its countdown cleared.
  void stop() {
    running = false;
    for (auto& r : list) {
      if (r.countdown != 0) send(r.serial, true);
      r.countdown = 0;
    }
    written();
  }
  // One second of the running watchdog: true when a check cycle ran.
  bool second() {
    if (!running || ++seconds < runInterval) return false;
    seconds = 0;
    std::vector<Seen> scan;  // every hub is seen before any record is acted on
    for (const auto& r : list) scan.push_back(seen(r.serial));
    for (std::size_t i = 0; i < list.size(); ++i) {
      ModelRecord& r = list[i];
      const Seen& s = scan[i];
      const auto powerOff = [&](int code) {
        char ids[32];
        std::snprintf(ids, sizeof ids, ",%d,0x%04X,0x%04X,", code, r.vid, r.pid);
        log.push_back(toUtf8(r.serial) + ids + toUtf8(r.product));
        send(r.serial, false);
        r.countdown = static_cast<std::uint8_t>(std::min(runOffTime + 1, 255));
      };
      if (s.found && s.connection == 1) {
        if (s.configuration != 0) {
          r.failures = 0;
        } else if (++r.failures >= 3) {
          powerOff(0);
          r.failures = 0;
        }
        if (s.vid != r.vid || s.pid != r.pid) powerOff(2);
      } else if (s.found && r.countdown == 0) {
        powerOff(3);
      }
      if (r.countdown != 0 && --r.countdown == 0) send(r.serial, true);
      if (heldUp) break;
    }
    return true;
  }
};

}  // namespace korvex::campaign
