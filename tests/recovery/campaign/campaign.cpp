#include "campaign.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <type_traits>

#include "campaign_model.h"
#include "korvex/common/worker_thread.h"
#include "korvex/library.h"
#include "temp_folder.h"
#include "test_worlds.h"

namespace korvex::campaign {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRoundMs = 1000;               // the watchdog's wait between seconds
constexpr std::uint32_t kStopBoundMs = 1500;           // the longest a stop may take
constexpr auto kHangLimit = std::chrono::seconds(10);  // real time: a call that hangs
constexpr std::uint8_t kPowerCommand = 0x22;

struct Broken {  // the first broken rule ends the scenario
  std::string what;
};

std::u16string serialOf(int hub) {
  return u"H" + fromUtf8(std::to_string(hub));
}

std::string text(const std::vector<bool>& commands) {
  std::string out;
  for (const bool on : commands) out += on ? " on" : " off";
  return "[" + out + " ]";
}

class Scenario {
 public:
  explicit Scenario(std::uint64_t seed) : seed_(seed), rng_(seed), hubs_(1 + pick(4)) {
    // Tick readings do not move this clock, only the scenario does: the
    // watchdog's seconds follow the steps, whatever else reads the time.
    world_->useVirtualClock(1000, 0, sim::VirtualWaits::Manual);
    world_->changeWorld([this](sim::World& w) { testing::repeatFirstHub(w, hubs_); });
    scanner_ = *world_->downstreamPort(u"H1")->device;
    if (pick(3) == 0) storeFromAnEarlierRun();
    library_->load();
    if (model_.running) waitForTheWatchdog();  // the load started it
  }

  ScenarioResult run(int steps) {
    ScenarioResult result;
    try {
      for (int i = 0; i < steps; ++i) step(), check();
      note("unload the library");
      // An orderly unload switches on every hub held off, by the watchdog
      // or by a stored countdown; recovery stays recorded as it was.
      const bool on = model_.running;
      promptly("unload", [this] { library_->unload(Library::Unload::Orderly); });
      model_.stop([this](const auto& s) { return there(s); });
      model_.running = on;
      everyHubOnAfter("the unload");
      checkFiles();
    } catch (const Broken& b) {
      result = {false, b.what, {}};
      promptly("unload", [this] { library_->unload(Library::Unload::Orderly); });
    }
    result.steps = steps_;
    return result;
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  void note(const std::string& step) { steps_.push_back(step); }
  [[noreturn]] static void broken(const std::string& what) { throw Broken{what}; }
  // A call that never returns has left a lock held or a thread stuck; the
  // library cannot be taken down, so the run ends with the replay.
  [[noreturn]] void hung(const std::string& what) {
    std::fprintf(stderr, "%s\n", describe(seed_, {false, what + " hung", steps_}).c_str());
    std::abort();
  }
  bool there(const std::u16string& serial) const {
    return world_->downstreamPort(serial).has_value();
  }

  // A library call on a thread of its own, whose virtual waits (a silent
  // controller's reply) are given time until it returns; the watchdog's
  // wait between seconds gets none. *given adds up the time given.
  template <typename Call>
  std::invoke_result_t<Call> promptly(const std::string& what, Call call,
                                      std::uint32_t* given = nullptr) {
    auto done = std::async(std::launch::async, call);
    const auto giveUp = Clock::now() + kHangLimit;
    while (done.wait_for(std::chrono::microseconds(200)) != std::future_status::ready) {
      if (Clock::now() > giveUp) hung(what);
      if (world_->waitForWaiters(world_->blockedWaitsOf(kRoundMs) + 1, {})) {
        world_->advance(20);
        if (given != nullptr) *given += 20;
      }
    }
    return done.get();
  }

  // A store left by an earlier run: hubs listed with their counters
  // running, settings of 0 (read as 1), recovery on or off.
  void storeFromAnEarlierRun() {
    recovery::AutoCheckStore block{};
    block.interval = static_cast<std::uint8_t>(pick(3));
    block.offTime = static_cast<std::uint8_t>(pick(3));
    block.recoveryOn = static_cast<std::uint8_t>(pick(2));
    block.count = static_cast<std::uint8_t>(1 + pick(hubs_ + 1));
    for (std::size_t i = 0; i < block.count; ++i) {
      const ModelRecord r{serialOf(1 + pick(hubs_)),
                          scanner_.vendorId,
                          scanner_.productId,
                          scanner_.product,
                          static_cast<std::uint8_t>(pick(4)),
                          static_cast<std::uint8_t>(pick(6) == 0 ? 200 : pick(3))};
      auto& slot = block.slots[i];
      std::copy(r.serial.begin(), r.serial.end(), slot.controllerSerial);
      std::copy(r.product.begin(), r.product.end(), slot.product);
      slot.idVendor = r.vid;
      slot.idProduct = r.pid;
      slot.offCountdown = r.countdown;
      slot.failureCount = r.failures;
      model_.list.push_back(r);
    }
    std::ofstream(folder_.path() / "korvex.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(&block), sizeof block);
    note("load a store of " + std::to_string(block.count) + " record(s), recovery " +
         (block.recoveryOn ? "on" : "off"));
    model_.interval = std::max<std::uint8_t>(block.interval, 1);
    model_.offTime = std::max<std::uint8_t>(block.offTime, 1);
    model_.stored = true;
    model_.storedInterval = block.interval;
    model_.storedOffTime = block.offTime;
    if (block.recoveryOn) model_.start();
  }

  void waitForTheWatchdog() {  // it reads its settings before its first wait
    const auto giveUp = Clock::now() + kHangLimit;
    while (world_->blockedWaitsOf(kRoundMs) == 0) {
      if (Clock::now() > giveUp) hung("the watchdog's start");
      std::this_thread::yield();
    }
  }

  void step() {
    const int hub = 1 + pick(hubs_), kind = pick(20);
    if (kind < 7) return advance(1 + pick(3));
    if (kind < 9) return addToList(hub);
    if (kind == 9) return deleteFromList(hub);
    if (kind == 10) return model_.running != (pick(5) == 0) ? stop() : start();
    if (kind == 11)
      return changeTimes(static_cast<std::uint8_t>(pick(4)),
                         static_cast<std::uint8_t>(pick(8) == 0 ? 255 : pick(4)));
    if (kind == 12 || stash_.count(hub) != 0) return removeOrReturn(hub);
    if (kind == 13) return toggleSilence(hub);
    if (kind == 14) return place(hub, "unplug", std::nullopt);
    sim::Device device = scanner_;
    if (kind < 17) return place(hub, "plug", device);
    if (kind < 19) {
      device.currentConfigurationValue = 0;
      if (pick(4) == 0) device.connectionStatus = 2;  // failed enumeration
      return place(hub, "hang", device,
                   pick(2) ? sim::AfterPowerOn::Hangs : sim::AfterPowerOn::Returns);
    }
    (pick(2) ? device.vendorId : device.productId) = 0x4444;
    device.product = u"Other";
    place(hub, "swap", device);
  }

  void advance(int cycles) {
    const auto seconds =
        static_cast<std::uint32_t>(cycles) * (model_.running ? model_.runInterval : 1);
    note("advance " + std::to_string(cycles) + " cycle(s), " + std::to_string(seconds) + " s");
    for (std::uint32_t s = 0; s < seconds; ++s) {
      // The scan sees the world as it stands before the cycle.
      cycle_ += model_.second([this](const std::u16string& serial) {
        const auto port = world_->downstreamPort(serial);
        if (!port || !port->device) return Seen{port.has_value()};
        const sim::Device& d = *port->device;
        return Seen{true, d.connectionStatus, d.currentConfigurationValue, d.vendorId, d.productId};
      });
      if (!model_.running) {
        world_->advance(kRoundMs);
        continue;
      }
      if (!world_->advanceAndSettle(kRoundMs)) hung("a second of the watchdog");
      // A cycle held up by silent controllers runs on until the thread
      // waits for its next second; less than a second at a time, so that
      // no further second begins.
      for (int i = 0; world_->blockedWaitsOf(kRoundMs) == 0; ++i) {
        if (i > 1000 || !world_->advanceAndSettle(kRoundMs - 1)) hung("a check cycle");
      }
      observeCommands();
      for (const auto& [hub, due] : std::map(owed_)) {
        if (due <= cycle_) onAfter(hub, "its off time");
      }
    }
  }

  void addToList(int hub) {
    const auto port = world_->downstreamPort(serialOf(hub));
    // The program offers to list a hub only with a device on its port.
    if (!port || !port->device) return;
    note("add H" + std::to_string(hub) + " to the list");
    const sim::Device& d = *port->device;
    HubDeviceInfo info{};
    std::copy_n(serialOf(hub).c_str(), serialOf(hub).size(), info.controllerSerial);
    std::copy_n(d.product.c_str(), d.product.size(), info.product);
    info.idVendor = d.vendorId;
    info.idProduct = d.productId;
    const bool room = model_.list.size() < 32;
    if (library_->autoCheckList().add(&info) != (room ? 1 : 0)) broken("add returned wrongly");
    if (room) model_.add({serialOf(hub), d.vendorId, d.productId, d.product});
  }

  void deleteFromList(int hub) {
    const std::u16string serial = serialOf(hub);
    // Switching on a silent hub waits out its reply on the program's thread
    // while the watchdog runs on: not a step to take one at a time.
    for (const auto& r : model_.list) {
      if (r.serial == serial && r.countdown != 0 && silent_.count(hub) && model_.running) return;
    }
    note("delete H" + std::to_string(hub) + " from the list");
    HubDeviceInfo info{};
    std::copy_n(serial.c_str(), serial.size(), info.controllerSerial);
    const int got = promptly("delete", [&] { return library_->watchdog().deleteListed(&info); });
    const auto removed = model_.remove(serial, there(serial));
    if (got != (removed ? 1 : 0)) broken("delete returned " + std::to_string(got));
    observeCommands();
    if (removed && removed->countdown != 0) onAfter(hub, "its deletion");
  }

  void start() {
    // Now and then no thread can be created: the start fails and recovery
    // stays off, in the store too.
    const bool noThread = !model_.running && pick(8) == 0;
    note(noThread ? "start auto recovery, no thread to be had" : "start auto recovery");
    WorkerThread::failStartsForTesting(noThread);
    const int got = library_->watchdog().start();
    WorkerThread::failStartsForTesting(false);
    if (got != (model_.running || noThread ? 0 : 1)) broken("start returned wrongly");
    if (noThread) model_.written();
    if (model_.running || noThread) return;
    model_.start();
    waitForTheWatchdog();
  }

  void stop() {
    // A cycle whose scan waits on a silent controller does not hold up the
    // stop, nor does it act on any record once the stop is asked.
    const bool silentThere = std::any_of(silent_.begin(), silent_.end(),
                                         [this](int hub) { return stash_.count(hub) == 0; });
    const bool midCycle =
        model_.running && silentThere && model_.seconds + 1 >= model_.runInterval && pick(2) == 0;
    note(midCycle ? "stop auto recovery during a cycle" : "stop auto recovery");
    if (midCycle && !world_->advanceAndSettle(kRoundMs)) hung("a second of the watchdog");
    std::uint32_t took = 0;
    const int got = promptly(
        "stop", [this] { return library_->watchdog().stop(); }, &took);
    if (got != (model_.running ? 1 : 0)) broken("stop returned " + std::to_string(got));
    if (took > kStopBoundMs) broken("stop took " + std::to_string(took) + " ms");
    if (!model_.running) return;
    model_.stop([this](const auto& s) { return there(s); });
    everyHubOnAfter("a stop");
  }

  void changeTimes(std::uint8_t interval, std::uint8_t offTime) {
    note("set interval " + std::to_string(interval) + ", off time " + std::to_string(offTime));
    if (library_->autoCheckList().setTimeInfo(interval, offTime) != 1) broken("settings refused");
    model_.interval = interval;
    model_.offTime = offTime;
    // As the program does: a running watchdog takes them through a stop
    // and a start.
    if (model_.running) stop(), start();
  }

  void removeOrReturn(int hub) {
    const bool away = stash_.count(hub) != 0;
    note((away ? "bring back hub H" : "remove hub H") + std::to_string(hub));
    world_->changeWorld([&](sim::World& w) {
      auto& root = w.hostControllers[0].rootHub.ports[static_cast<std::size_t>(hub - 1)].device;
      if (away) root = std::move(stash_.at(hub)), stash_.erase(hub);
      if (!away) stash_.emplace(hub, std::move(*root)), root.reset();
    });
  }

  void toggleSilence(int hub) {
    const bool silent = silent_.insert(hub).second;
    if (!silent) silent_.erase(hub);
    note("H" + std::to_string(hub) + (silent ? "'s controller goes silent" : " answers again"));
    world_->changeWorld(
        [&](sim::World& w) { testing::firmwareOf(w, serialOf(hub)).faults.silent = silent; });
  }

  // Puts device (none: unplugs) on the hub's downstream port, attached
  // unpowered while the hub's power is off.
  void place(int hub, const std::string& what, const std::optional<sim::Device>& device,
             sim::AfterPowerOn after = sim::AfterPowerOn::Returns) {
    note(what + " H" + std::to_string(hub) + "'s device");
    const bool powered = world_->controller(serialOf(hub))->power;
    world_->changeWorld([&](sim::World& w) {
      sim::Port& port = testing::downstreamOf(w, serialOf(hub));
      port.device.reset();
      port.unpowered.reset();
      (powered ? port.device : port.unpowered) = device;
      port.afterPowerOn = after;
    });
  }

  // The power commands each hub received since the last look against those
  // the model says were due; a switch-off is owed a switch-on.
  void observeCommands() {
    std::map<int, std::vector<bool>> due;
    for (; checked_ < model_.commands.size(); ++checked_) {
      const PowerCommand& c = model_.commands[checked_];
      if (c.delivered) due[std::stoi(toUtf8(c.serial).substr(1))].push_back(c.on);
    }
    for (int hub = 1; hub <= hubs_; ++hub) {
      if (stash_.count(hub) != 0) continue;
      const auto requests = world_->requestsTo(serialOf(hub));
      std::vector<bool> got;
      for (std::size_t& i = seen_[hub]; i < requests.size(); ++i) {
        if (requests[i].bytes[1] != kPowerCommand) continue;
        got.push_back(requests[i].bytes[2] != 0);
        if (got.back()) owed_.erase(hub);
        if (!got.back()) owed_[hub] = cycle_ + std::min<std::uint32_t>(model_.runOffTime, 254);
      }
      if (got != due[hub]) {
        broken("H" + std::to_string(hub) + " received" + text(got) + ", due" + text(due[hub]));
      }
    }
  }

  // A hub switched off is on again after `when`, unless it is not there.
  void onAfter(int hub, const std::string& when) {
    if (owed_.count(hub) == 0) return;
    if (there(serialOf(hub))) broken("H" + std::to_string(hub) + " still off after " + when);
    owed_.erase(hub);
  }
  void everyHubOnAfter(const std::string& when) {
    observeCommands();
    for (int hub = 1; hub <= hubs_; ++hub) onAfter(hub, when);
  }

  void check() {
    observeCommands();
    checkFiles();
    // Every list and status call returns at once: no lock is left held. A
    // scan also takes LibraryLock, but a silent controller holds it up.
    struct Answers {
      std::vector<std::u16string> listed;
      std::uint8_t interval = 0, offTime = 0;
      int status = 0;
      recovery::AutoCheckStore block{};
    };
    const Answers a = promptly("a list or status call", [this, scan = silent_.empty()] {
      Answers out;
      auto& list = library_->autoCheckList();
      HubDeviceInfo info{};
      for (int more = list.getFirst(&info); more; more = list.getNext(&info)) {
        out.listed.emplace_back(reinterpret_cast<const char16_t*>(info.controllerSerial));
      }
      list.getTimeInfo(&out.interval, &out.offTime);
      out.status = library_->watchdog().status();
      out.block = list.snapshot();
      if (scan) library_->devices().getDeviceInfo(&info);
      return out;
    });
    if (a.listed != model_.serials() || a.interval != model_.interval ||
        a.offTime != model_.offTime || a.status != model_.running) {
      broken("the list, settings or recovery status differ from the model's");
    }
    for (std::size_t i = 0; i < model_.list.size(); ++i) {
      const auto& r = a.block.slots[i];
      const auto& m = model_.list[i];
      if (r.offCountdown != m.countdown || r.failureCount != m.failures) {
        broken("record " + std::to_string(i) + " counts " + std::to_string(r.offCountdown) + "/" +
               std::to_string(r.failureCount) + ", the model " + std::to_string(m.countdown) + "/" +
               std::to_string(m.failures));
      }
    }
  }

  // The log holds the model's lines, each once, in order; the store is a
  // whole block with the model's list.
  void checkFiles() {
    const std::string log = testing::readText(folder_.path() / "korvex.log");
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < log.size(); at = end + 2) {
      end = log.find("\r\n", at);
      if (end == std::string::npos || log.find(',', at) != at + 19) broken("a torn log line");
      lines.push_back(log.substr(at + 20, end - at - 20));  // after the time
    }
    if (lines != model_.log) {
      broken("the log has " + std::to_string(lines.size()) + " lines, the model " +
             std::to_string(model_.log.size()));
    }
    const std::string store = testing::readText(folder_.path() / "korvex.dat");
    if (store.empty() && !model_.stored) return;  // the load created it empty
    if (store.size() != sizeof(recovery::AutoCheckStore)) broken("a torn store");
    const auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(store[at]); };
    std::vector<std::u16string> stored(byte(3));
    for (std::size_t i = 0; i < stored.size(); ++i) {
      for (std::size_t at = 18 + i * 1040; byte(at) != 0 || byte(at + 1) != 0; at += 2) {
        stored[i] += static_cast<char16_t>(byte(at) | byte(at + 1) << 8);
      }
    }
    // The settings reach the file with its next write, or (soon) earlier.
    const bool settings = (byte(0) == model_.storedInterval && byte(1) == model_.storedOffTime) ||
                          (byte(0) == model_.interval && byte(1) == model_.offTime);
    if (stored != model_.serials() || !settings || byte(2) != model_.running) {
      broken("the store's list, settings or recovery state differ from the model's");
    }
  }

  const std::uint64_t seed_;
  std::mt19937_64 rng_;
  const int hubs_;
  testing::TempFolder folder_{"korvex-campaign-"};
  std::unique_ptr<sim::Simulator> world_ = testing::loadWorld("core_watched_hub.json");
  std::unique_ptr<Library> library_ = std::make_unique<Library>(*world_, *world_, folder_.path());
  sim::Device scanner_;
  WatchdogModel model_;
  std::vector<std::string> steps_;
  std::map<int, sim::Device> stash_;  // hubs taken out of the tree
  std::set<int> silent_;
  std::map<int, std::size_t> seen_;    // requests looked at, per hub
  std::size_t checked_ = 0;            // model commands compared
  std::map<int, std::uint32_t> owed_;  // hubs switched off: the cycle their power is due
  std::uint32_t cycle_ = 0;            // check cycles run
};

}  // namespace

ScenarioResult runScenario(std::uint64_t seed, int steps) {
  return Scenario(seed).run(steps);
}

std::string describe(std::uint64_t seed, const ScenarioResult& result) {
  std::string text = "seed " + std::to_string(seed) + ": " +
                     (result.passed ? "passed" : result.failure) +
                     " (replay: KORVEX_CAMPAIGN_SEED=" + std::to_string(seed) + ")";
  for (std::size_t i = 0; i < result.steps.size(); ++i) {
    text += "\n  " + std::to_string(i + 1) + ". " + result.steps[i];
  }
  return text;
}

}  // namespace korvex::campaign
