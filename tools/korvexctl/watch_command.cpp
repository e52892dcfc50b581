#include "watch_command.h"

#include "hub_library.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <thread>

#include "client/log_lines.h"
#include "client/number_text.h"
#include "hub_scan.h"
#include "korvex/common/utf16.h"
#include "library_folder.h"
#include "local_clock.h"
#include "log_follower.h"
#include "recovery_commands.h"
#include "recovery_log.h"

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
  const korvex::client::LocalClock now = localNow();
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  return text;
}

const HubRow* findHub(const std::vector<HubRow>& hubs, const std::string& serial) {
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

  void hub(const HubRow& h) {
    std::string text = h.serial + "  " + h.power + "  " + h.deviceStatus;
    for (const auto* cell : {&h.vid, &h.pid, &h.product}) {
      if (!cell->empty()) text += "  " + *cell;
    }
    line("hub", h.json(), text);
  }

 private:
  std::ostream& out_;
  bool json_;
};

void reportChanges(Printer& print, const std::vector<HubRow>& before,
                   const std::vector<HubRow>& after) {
  for (const auto& h : after) {
    const HubRow* old = findHub(before, h.serial);
    if (old == nullptr || !(*old == h)) print.hub(h);
  }
  for (const auto& h : before) {
    if (findHub(after, h.serial) == nullptr) {
      print.line("gone", {{"serial", h.serial}}, h.serial + "  no longer found");
    }
  }
}

}  // namespace

Result runWatch(const std::vector<std::string>& args, bool json, std::ostream& out) {
  std::optional<unsigned> seconds;  // none: until Ctrl-C
  if (!args.empty()) {
    if (args.size() == 2 && args[0] == "--seconds")
      seconds = korvex::client::parseDecimal(args[1], 1, kMaxSeconds);
    if (!seconds) {
      return badArgument("watch takes --seconds N, N from 1 to " + std::to_string(kMaxSeconds));
    }
  }
  const bool startedHere = library().Hub_GetAutoRecoveryStatus() == 0;
  if (startedHere && library().Hub_StartAutoRecovery() == 0) {
    return fail(kFailed, "start-failed", "auto recovery could not be started");
  }
  stopRequested = 0;
  std::signal(SIGINT, requestStop);
  std::signal(SIGTERM, requestStop);

  const Settings settings = currentSettings();
  const fs::path logFile = logFilePath();
  Printer print(out, json);
  print.line("watch",
             {{"seconds", seconds ? nlohmann::json(*seconds) : nlohmann::json(nullptr)},
              {"startedRecovery", startedHere},
              {"interval", settings.interval},
              {"offTime", settings.offTime},
              {"log", logFile.string()}},
             (seconds ? "for " + std::to_string(*seconds) + " s" : std::string("until Ctrl-C")) +
                 ": auto recovery " + (startedHere ? "switched on for the watch" : "on") + ", " +
                 settingsText(settings) + "; log " + logFile.string());

  LogFollower log(logFile);
  std::vector<HubRow> hubs = scanHubRows();
  for (const auto& h : hubs) print.hub(h);

  const auto begin = Clock::now();
  auto nextLogPoll = begin + kLogPoll;
  auto nextHubPoll = begin + kHubPoll;
  const auto reportLog = [&] {
    for (const auto& line : log.newLines()) {
      const auto f = korvex::client::splitLogLine(line);
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
      auto latest = scanHubRows();
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
  if (startedHere) library().Hub_StopAutoRecovery();

  const auto took = std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - begin).count();
  return done({{"type", "end"}, {"seconds", took}, {"interrupted", interrupted}},
              "watch ended after " + std::to_string(took) + " s" +
                  (interrupted ? " (interrupted)" : "") +
                  (startedHere ? "; auto recovery switched off again" : ""));
}

}  // namespace korvexctl
