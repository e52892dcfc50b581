#include "watch_command.h"

#include <korvex.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "device_row_text.h"
#include "hub_scan.h"
#include "korvex/common/utf16.h"
#include "library_folder.h"
#include "library_text.h"
#include "local_clock.h"
#include "log_follower.h"
#include "recovery_log.h"
#include "talvane/dialogs/log_line_split.h"

namespace korvexctl {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kLogPoll = 200ms;
constexpr auto kHubPoll = 1000ms;
constexpr auto kTick = 50ms;
constexpr unsigned kMaxSeconds = 7 * 24 * 3600;

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) {
  stopRequested = 1;
}

std::string wallClock() {
  const talvane::LocalClock now = localNow();
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  return text;
}

// A hub as the watch compares it from one scan to the next.
struct HubState {
  std::string serial, power, deviceStatus, vid, pid, product;
  bool operator==(const HubState&) const = default;
};

std::vector<HubState> hubStates() {
  std::vector<HubState> states;
  for (const auto& info : scanHubs()) {
    const auto r = talvane::deviceRowText(static_cast<int>(states.size()) + 1, info);
    states.push_back({korvex::toUtf8(r.serial), korvex::toUtf8(r.power),
                      korvex::toUtf8(r.deviceStatus), korvex::toUtf8(r.vid), korvex::toUtf8(r.pid),
                      korvex::toUtf8(r.product)});
  }
  return states;
}

const HubState* findHub(const std::vector<HubState>& hubs, const std::string& serial) {
  for (const auto& h : hubs) {
    if (h.serial == serial) return &h;
  }
  return nullptr;
}

class Printer {
 public:
  Printer(std::ostream& out, bool json) : out_(out), json_(json) {}

  void line(const std::string& kind, nlohmann::json fields, const std::string& text) {
    const std::string time = wallClock();
    if (json_) {
      fields["time"] = time;
      fields["type"] = kind;
      out_ << fields.dump() << std::endl;
    } else {
      out_ << '[' << time << "] " << kind << "  " << text << std::endl;
    }
  }

  void hub(const HubState& h) {
    std::string text = h.serial + "  " + h.power + "  " + h.deviceStatus;
    for (const auto* cell : {&h.vid, &h.pid, &h.product}) {
      if (!cell->empty()) text += "  " + *cell;
    }
    line("hub",
         {{"serial", h.serial},
          {"power", h.power},
          {"deviceStatus", h.deviceStatus},
          {"vid", h.vid},
          {"pid", h.pid},
          {"product", h.product}},
         text);
  }

 private:
  std::ostream& out_;
  bool json_;
};

void reportChanges(Printer& print, const std::vector<HubState>& before,
                   const std::vector<HubState>& after) {
  for (const auto& h : after) {
    const HubState* old = findHub(before, h.serial);
    if (old == nullptr || !(*old == h)) print.hub(h);
  }
  for (const auto& h : before) {
    if (findHub(after, h.serial) == nullptr) {
      print.line("gone", {{"serial", h.serial}}, h.serial + "  no longer found");
    }
  }
}

std::optional<unsigned> parseSeconds(const std::vector<std::string>& args, bool& valid) {
  valid = true;
  if (args.empty()) return std::nullopt;
  valid = args.size() == 2 && args[0] == "--seconds" && !args[1].empty() && args[1].size() <= 6 &&
          args[1].find_first_not_of("0123456789") == std::string::npos;
  if (!valid) return std::nullopt;
  const unsigned seconds = static_cast<unsigned>(std::stoul(args[1]));
  valid = seconds >= 1 && seconds <= kMaxSeconds;
  return seconds;
}

}  // namespace

Result runWatch(const std::vector<std::string>& args, bool json, std::ostream& out) {
  bool valid = false;
  const auto seconds = parseSeconds(args, valid);
  if (!valid) {
    return badArgument("watch takes --seconds N, N from 1 to " + std::to_string(kMaxSeconds));
  }
  const bool startedHere = Hub_GetAutoRecoveryStatus() == 0;
  if (startedHere && Hub_StartAutoRecovery() == 0) {
    return fail(kFailed, "start-failed", "auto recovery could not be started");
  }
  stopRequested = 0;
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);

  std::uint8_t interval = 0;
  std::uint8_t offTime = 0;
  Hub_GetAutoCheckTimeInfo(&interval, &offTime);
  const fs::path logFile = logFilePath();
  Printer print(out, json);
  print.line("watch",
             {{"seconds", seconds ? nlohmann::json(*seconds) : nlohmann::json(nullptr)},
              {"startedRecovery", startedHere},
              {"interval", interval},
              {"offTime", offTime},
              {"log", logFile.string()}},
             (seconds ? "for " + std::to_string(*seconds) + " s" : std::string("until Ctrl-C")) +
                 ": auto recovery " + (startedHere ? "switched on for the watch" : "on") +
                 ", interval " + std::to_string(interval) + " s, off time " +
                 std::to_string(offTime) + (offTime == 1 ? " check" : " checks") + "; log " +
                 logFile.string());

  LogFollower log(logFile);
  std::vector<HubState> hubs = hubStates();
  for (const auto& h : hubs) print.hub(h);

  const auto begin = Clock::now();
  auto nextLogPoll = begin + kLogPoll;
  auto nextHubPoll = begin + kHubPoll;
  const auto reportLog = [&] {
    for (const auto& line : log.newLines()) {
      const auto f = talvane::splitLogLine(line);
      auto fields = logJson(0, f);
      fields.erase("no");
      print.line("log", fields,
                 korvex::toUtf8(f.dateTime) + "  " + korvex::toUtf8(f.serial) + "  " +
                     eventText(f.event) + "  " + korvex::toUtf8(f.vid) + "  " +
                     korvex::toUtf8(f.pid) + "  " + korvex::toUtf8(f.product));
    }
  };
  while (stopRequested == 0 &&
         (!seconds || Clock::now() - begin < std::chrono::seconds(*seconds))) {
    const auto now = Clock::now();
    if (now >= nextLogPoll) {
      reportLog();
      nextLogPoll = now + kLogPoll;
    }
    if (now >= nextHubPoll) {
      auto latest = hubStates();
      reportChanges(print, hubs, latest);
      hubs = std::move(latest);
      nextHubPoll = now + kHubPoll;
    }
    std::this_thread::sleep_for(kTick);
  }
  reportLog();
  const bool interrupted = stopRequested != 0;
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  if (startedHere) Hub_StopAutoRecovery();

  const auto took = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - begin).count();
  return done({{"type", "end"}, {"seconds", took}, {"interrupted", interrupted}},
              "watch ended after " + std::to_string(took) + " s" +
                  (interrupted ? " (interrupted)" : "") +
                  (startedHere ? "; auto recovery switched off again" : ""));
}

}  // namespace korvexctl
