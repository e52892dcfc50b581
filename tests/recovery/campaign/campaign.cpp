#include "campaign.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <future>
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
constexpr std::uint32_t kSecondMs = 1000;  // the watchdog's wait between its rounds
constexpr std::uint32_t kStopBoundMs = 1500;
constexpr std::uint8_t kPowerCommand = 0x22;

struct Broken {  // the first rule broken ends the scenario
  std::string what;
};

std::u16string serialOf(int hub) {
  return u"H" + fromUtf8(std::to_string(hub));
}

int hubOf(const std::u16string& serial) {
  return std::stoi(toUtf8(serial).substr(1));
}

class Scenario {
 public:
  explicit Scenario(std::uint64_t seed) : seed_(seed), rng_(seed), hubs_(1 + pick(4)) {
    // Reading the tick count does not move this clock, only the scenario
    // does: the watchdog's seconds follow the steps alone.
    world_->useVirtualClock(1000, 0, sim::VirtualWaits::Manual);
    world_->changeWorld([this](sim::World& w) { testing::repeatFirstHub(w, hubs_); });
    scanner_ = *world_->downstreamPort(u"H1")->device;
    model_.seen = [this](const std::u16string& serial) {
      const auto port = world_->downstreamPort(serial);
      if (!port || !port->device) return Seen{port.has_value()};
      const sim::Device& d = *port->device;
      return Seen{true, d.connectionStatus, d.currentConfigurationValue, d.vendorId, d.productId};
    };
    if (pick(3) == 0) storeFromAnEarlierRun();
  }

  ScenarioResult run(int steps) {
    try {
      library_->load();
      expect(library_->watchdog().running() == model_.running, "the load left recovery wrong");
      if (model_.running) waitForTheWatchdog();
      for (int i = 0; i < steps; ++i) step(), check();
      // An orderly unload switches on every hub held off, by the watchdog
      // or by a stored countdown; recovery stays recorded as it was.
      steps_.push_back("unload the library");
      const bool on = model_.running;
      promptly("unload", [this] { library_->unload(Library::Unload::Orderly); });
      model_.stop();
      model_.running = on;
      expectPowerOn("the unload");
      checkFiles();
      return {true, {}, steps_};
    } catch (const Broken& b) {
      promptly("unload", [this] { library_->unload(Library::Unload::Orderly); });
      return {false, b.what, steps_};
    }
  }

 private:
  int pick(int n) { return static_cast<int>(rng_() % static_cast<std::uint64_t>(n)); }
  std::string hub(int h) const { return "H" + std::to_string(h); }
  static void expect(bool holds, const std::string& what) {
    if (!holds) throw Broken{what};
  }
  // A call that does not return has left a lock held or a thread stuck, and
  // the library cannot be taken down: the run ends here with the replay.
  void expectReturned(bool returned, const std::string& what) {
    if (returned) return;
    std::fprintf(stderr, "%s\n", describe(seed_, {false, what + " hung", steps_}).c_str());
    std::abort();
  }

  // A library call on a thread of its own, its virtual waits (a silent
  // controller's reply) given time until it returns, the watchdog's wait
  // between its rounds none. *given adds up the time given.
  template <typename Call>
  std::invoke_result_t<Call> promptly(const std::string& what, Call call,
                                      std::uint32_t* given = nullptr) {
    // No time is given before the call has begun: a stop would count time
    // that passed before it was asked.
    std::atomic<bool> begun{false};
    auto done = std::async(std::launch::async, [&] { return begun = true, call(); });
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (done.wait_for(std::chrono::microseconds(200)) != std::future_status::ready) {
      expectReturned(Clock::now() < giveUp, what);
      if (!begun || !world_->waitForWaiters(world_->blockedWaitsOf(kSecondMs) + 1, {})) continue;
      world_->advance(20);
      if (given != nullptr) *given += 20;
    }
    return done.get();
  }

  // A cycle held up by silent controllers (its status reads waiting side
  // by side on threads of their own, then its commands) runs on, its
  // waits given time, until the watchdog waits for its next second.
  void untilTheNextSecond() {
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (world_->blockedWaitsOf(kSecondMs) == 0) {
      expectReturned(Clock::now() < giveUp, "a check cycle");
      if (world_->waitForWaiters(1, std::chrono::milliseconds(1))) world_->advance(20);
    }
  }

  void waitForTheWatchdog() {  // it takes its settings before its first wait
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (world_->blockedWaitsOf(kSecondMs) == 0) {
      expectReturned(Clock::now() < giveUp, "the watchdog's start");
      std::this_thread::yield();
    }
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
                          scanner_.product,
                          scanner_.vendorId,
                          scanner_.productId,
                          static_cast<std::uint8_t>(pick(4)),
                          static_cast<std::uint8_t>(pick(6) == 0 ? 200 : pick(3))};
      auto& slot = block.slots[i];
      std::copy(r.serial.begin(), r.serial.end(), slot.controllerSerial);
      std::copy(r.product.begin(), r.product.end(), slot.product);
      slot.idVendor = r.vid, slot.idProduct = r.pid;
      slot.offCountdown = r.countdown, slot.failureCount = r.failures;
      model_.list.push_back(r);
    }
    std::ofstream(folder_.path() / "korvex.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(&block), sizeof block);
    steps_.push_back("load a store of " + std::to_string(block.count) + " record(s), recovery " +
                     (block.recoveryOn ? "on" : "off"));
    model_.interval = std::max<std::uint8_t>(block.interval, 1);
    model_.offTime = std::max<std::uint8_t>(block.offTime, 1);
    model_.stored = true;
    model_.storedInterval = block.interval, model_.storedOffTime = block.offTime;
    if (block.recoveryOn) model_.start();
  }

  void step() {
    const int h = 1 + pick(hubs_), kind = pick(20);
    sim::Device device = scanner_;
    if (kind < 7) return advance(1 + pick(3));
    if (kind < 9) return addToList(h);
    if (kind == 9) return deleteFromList(h);
    if (kind == 10) return model_.running != (pick(5) == 0) ? stop() : start();
    if (kind == 11) return changeTimes(pick(4), pick(8) == 0 ? 255 : pick(4));
    if (kind == 12 || away_.count(h) != 0) return removeOrReturn(h);
    if (kind == 13) return toggleSilence(h);
    if (kind == 14) return place(h, "unplug", std::nullopt);
    if (kind < 17) return place(h, "plug", device);
    if (kind < 19) {
      device.currentConfigurationValue = 0;
      if (pick(4) == 0) device.connectionStatus = 2;  // failed enumeration
      return place(h, "hang", device,
                   pick(2) ? sim::AfterPowerOn::Hangs : sim::AfterPowerOn::Returns);
    }
    (pick(2) ? device.vendorId : device.productId) = 0x0ABC;
    device.product.clear();
    if (pick(2) == 0) return place(h, "swap", device);
    device.currentConfigurationValue = 0;  // hung as well, also after each power-up
    place(h, "swap and hang", device, sim::AfterPowerOn::Hangs);
  }

  void advance(int cycles) {
    const auto seconds = static_cast<std::uint32_t>(cycles) * model_.runInterval;
    steps_.push_back("advance " + std::to_string(cycles) + " cycle(s)");
    for (std::uint32_t s = 0; model_.running && s < seconds; ++s) {
      cycle_ += model_.second();  // the scan sees the world as it is before
      world_->advance(kSecondMs);
      untilTheNextSecond();
      observeCommands();
      for (const auto& [serial, due] : std::map(owed_)) {
        if (due <= cycle_) expectPowerOn("its off time", serial);
      }
    }
  }

  void addToList(int h) {
    const auto port = world_->downstreamPort(serialOf(h));
    if (!port || !port->device) return;  // the program lists a hub only with a device
    steps_.push_back("add " + hub(h) + " to the list");
    const sim::Device& d = *port->device;
    HubDeviceInfo info{};
    std::copy_n(serialOf(h).c_str(), serialOf(h).size(), info.controllerSerial);
    std::copy_n(d.product.c_str(), d.product.size(), info.product);
    info.idVendor = d.vendorId, info.idProduct = d.productId;
    const bool room = model_.list.size() < recovery::kListCapacity;
    expect(library_->autoCheckList().add(&info) == room, "add returned wrongly");
    if (room)
      model_.list.push_back({serialOf(h), d.product, d.vendorId, d.productId}), model_.written();
  }

  void deleteFromList(int h) {
    const std::u16string serial = serialOf(h);
    const auto listed = std::find_if(model_.list.begin(), model_.list.end(),
                                     [&](const ModelRecord& r) { return r.serial == serial; });
    const bool heldOff = listed != model_.list.end() && listed->countdown != 0;
    // Switching on a silent hub waits out its reply on the program's thread
    // while the watchdog runs on: not a step to take one at a time.
    if (heldOff && silent_.count(h) != 0 && model_.running) return;
    steps_.push_back("delete " + hub(h) + " from the list");
    HubDeviceInfo info{};
    std::copy_n(serial.c_str(), serial.size(), info.controllerSerial);
    const int got = promptly("delete", [&] { return library_->watchdog().deleteListed(&info); });
    expect(got == model_.remove(serial), "delete returned " + std::to_string(got));
    if (heldOff) expectPowerOn("its deletion", serial);
  }

  void start() {
    // Now and then no thread can be had: the start fails, and recovery
    // stays off, in the store too.
    const bool noThread = !model_.running && pick(8) == 0;
    steps_.push_back(noThread ? "start auto recovery, no thread to be had" : "start auto recovery");
    WorkerThread::failStartsForTesting(noThread);
    const int got = library_->watchdog().start();
    WorkerThread::failStartsForTesting(false);
    expect(got == (!model_.running && !noThread), "start returned " + std::to_string(got));
    if (noThread) model_.written();
    if (got == 1) model_.start(), waitForTheWatchdog();
  }

  void stop() {
    // A stop asked while a cycle waits on a silent controller, in its scan
    // or (deep) in a record's command, is not held up by it, and the cycle
    // acts on no further record.
    std::size_t silentThere = 0;
    for (const int h : silent_) silentThere += away_.count(h) == 0;
    const bool midCycle = model_.running && model_.seconds + 1 >= model_.runInterval &&
                          silentThere != 0 && pick(2) == 0;
    const bool deep = midCycle && pick(2) == 0;
    steps_.push_back(midCycle ? (deep ? "stop auto recovery during a cycle's records"
                                      : "stop auto recovery during a cycle's scan")
                              : "stop auto recovery");
    if (deep) {  // the model first, over the world as it stands before the cycle
      model_.holdsUp = [this](const std::u16string& s) { return silent_.count(hubOf(s)) != 0; };
      cycle_ += model_.second();
      model_.holdsUp = nullptr, model_.heldUp = false;
    }
    if (midCycle) {
      // The cycle begins: its status reads wait side by side, one for each
      // silent controller.
      world_->advance(kSecondMs);
      expectReturned(world_->waitForWaiters(silentThere), "a scan's reads");
    }
    // Together they wait out one time-out; the records follow, up to the
    // first command that waits for a reply (to a silent controller).
    if (deep) {
      world_->advance(protocol::kReplyTimeoutMs);
      expectReturned(world_->waitForWaiters(1), "a cycle's records");
    }
    std::uint32_t took = 0;
    const int got = promptly(
        "stop", [this] { return library_->watchdog().stop(); }, &took);
    expect(got == model_.running, "stop returned " + std::to_string(got));
    expect(took <= kStopBoundMs, "stop took " + std::to_string(took) + " ms");
    if (got == 1) model_.stop(), expectPowerOn("a stop");
  }

  void changeTimes(int interval, int offTime) {
    steps_.push_back("set interval " + std::to_string(interval) + ", off time " +
                     std::to_string(offTime));
    model_.interval = static_cast<std::uint8_t>(interval);
    model_.offTime = static_cast<std::uint8_t>(offTime);
    expect(library_->autoCheckList().setTimeInfo(model_.interval, model_.offTime) == 1,
           "settings refused");
    model_.written();                     // at once, for the other processes using the store
    if (model_.running) stop(), start();  // as the program has the watchdog take them
  }

  void removeOrReturn(int h) {
    const bool away = away_.count(h) != 0;
    steps_.push_back((away ? "bring back hub " : "remove hub ") + hub(h));
    world_->changeWorld([&](sim::World& w) {
      auto& root = w.hostControllers[0].rootHub.ports[static_cast<std::size_t>(h - 1)].device;
      if (away) root = std::move(away_.at(h)), away_.erase(h);
      if (!away) away_.emplace(h, std::move(*root)), root.reset();
    });
  }

  void toggleSilence(int h) {
    const bool silent = silent_.insert(h).second;
    if (!silent) silent_.erase(h);
    steps_.push_back(hub(h) + (silent ? "'s controller goes silent" : " answers again"));
    world_->changeWorld(
        [&](sim::World& w) { testing::firmwareOf(w, serialOf(h)).faults.silent = silent; });
  }

  // Puts device (none: unplugs) on the hub's port, unpowered while its power is off.
  void place(int h, const std::string& what, const std::optional<sim::Device>& device,
             sim::AfterPowerOn after = sim::AfterPowerOn::Returns) {
    steps_.push_back(what + " " + hub(h) + "'s device");
    const bool powered = world_->controller(serialOf(h))->power;
    world_->changeWorld([&](sim::World& w) {
      sim::Port& port = testing::downstreamOf(w, serialOf(h));
      port.device.reset(), port.unpowered.reset();
      (powered ? port.device : port.unpowered) = device;
      port.afterPowerOn = after;
    });
  }

  // The power commands each hub received since the last look are those
  // the model has due to it; each switch-off is owed a switch-on.
  void observeCommands() {
    for (int h = 1; h <= hubs_; ++h) {
      const std::u16string serial = serialOf(h);
      if (away_.count(h) != 0) continue;
      std::vector<bool> got;
      const auto requests = world_->requestsTo(serial);
      for (std::size_t& i = looked_[h]; i < requests.size(); ++i) {
        if (requests[i].bytes[1] != kPowerCommand) continue;
        got.push_back(requests[i].bytes[2] != 0);
        if (got.back()) owed_.erase(serial);
        if (!got.back()) owed_[serial] = cycle_ + std::min<std::uint32_t>(model_.runOffTime, 254);
      }
      const auto text = [](const std::vector<bool>& commands) {
        std::string out;
        for (const bool on : commands) out += on ? " on" : " off";
        return out;
      };
      expect(got == model_.commands[serial],
             hub(h) + " received" + text(got) + ", not" + text(model_.commands[serial]));
      model_.commands[serial].clear();
    }
  }

  // Every hub switched off (or this one) is on again after `when`, unless
  // it is not there to be switched on.
  void expectPowerOn(const std::string& when, const std::u16string& only = {}) {
    observeCommands();
    for (const auto& [serial, due] : std::map(owed_)) {
      if (!only.empty() && serial != only) continue;
      expect(!model_.seen(serial).found, toUtf8(serial) + " still off after " + when);
      owed_.erase(serial);
    }
  }

  void check() {
    observeCommands();
    checkFiles();
    // Every list and status call returns at once: no lock is left held. A
    // scan takes LibraryLock too, unless a silent controller would hold it.
    const std::string differs = promptly("a list or status call", [this] {
      auto& list = library_->autoCheckList();
      HubDeviceInfo info{};
      std::size_t i = 0;
      const recovery::AutoCheckStore block = list.snapshot();
      for (int more = list.getFirst(&info); more; more = list.getNext(&info), ++i) {
        const auto& r = model_.list;
        if (i >= r.size() ||
            reinterpret_cast<const char16_t*>(info.controllerSerial) != r[i].serial ||
            block.slots[i].offCountdown != r[i].countdown ||
            block.slots[i].failureCount != r[i].failures) {
          return "record " + std::to_string(i) + " differs from the model's";
        }
      }
      std::uint8_t interval = 0, offTime = 0;
      list.getTimeInfo(&interval, &offTime);
      if (silent_.empty()) library_->devices().getDeviceInfo(&info);
      const bool same = i == model_.list.size() && interval == model_.interval &&
                        offTime == model_.offTime &&
                        library_->watchdog().status() == model_.running;
      return std::string(same ? "" : "the list, settings or recovery status differ");
    });
    expect(differs.empty(), differs);
  }

  // The log holds the model's lines, each once, in order; the store is a
  // whole block with the model's list.
  void checkFiles() {
    const std::string log = testing::readText(folder_.path() / "korvex.log");
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < log.size(); at = end + 2) {
      end = log.find("\r\n", at);
      expect(end != std::string::npos && log.find(',', at) == at + 19, "a torn log line");
      lines.push_back(log.substr(at + 20, end - at - 20));  // after the time
    }
    expect(lines == model_.log, "the log has " + std::to_string(lines.size()) +
                                    " line(s), the model " + std::to_string(model_.log.size()));
    const std::string store = testing::readText(folder_.path() / "korvex.dat");
    expect(std::filesystem::exists(folder_.path() / "korvex.dat"), "no store");
    if (!model_.stored) return expect(store.empty(), "a store written unasked");
    expect(store.size() == sizeof(recovery::AutoCheckStore), "a torn store");
    recovery::AutoCheckStore block;
    std::copy(store.begin(), store.end(), reinterpret_cast<char*>(&block));
    bool same = block.count == model_.list.size() && block.recoveryOn == model_.running;
    // The counters too: the watchdog writes them as they change, so that
    // another process taking over goes on from them.
    for (std::size_t i = 0; same && i < block.count; ++i) {
      const auto& r = model_.list[i];
      same = block.slots[i].controllerSerial == r.serial &&
             block.slots[i].offCountdown == r.countdown &&
             block.slots[i].failureCount == r.failures;
    }
    same = same && block.interval == model_.storedInterval && block.offTime == model_.storedOffTime;
    expect(same, "the store's list, counters, settings or recovery state differ from the model's");
  }

  const std::uint64_t seed_;
  std::mt19937_64 rng_;
  const int hubs_;
  // In memory where the system has it: every store write is synced to disk.
  testing::TempFolder folder_{"korvex-campaign-", std::filesystem::is_directory("/dev/shm")
                                                      ? "/dev/shm"
                                                      : std::filesystem::temp_directory_path()};
  std::unique_ptr<sim::Simulator> world_ = testing::loadWorld("core_watched_hub.json");
  std::unique_ptr<Library> library_ = std::make_unique<Library>(*world_, *world_, folder_.path());
  sim::Device scanner_;
  WatchdogModel model_;
  std::vector<std::string> steps_;
  std::map<int, sim::Device> away_;  // hubs taken out of the tree
  std::set<int> silent_;
  std::map<int, std::size_t> looked_;             // requests looked at, per hub
  std::map<std::u16string, std::uint32_t> owed_;  // hubs off: the cycle power is due
  std::uint32_t cycle_ = 0;                       // check cycles run
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
