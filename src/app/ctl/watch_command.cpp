#include <array>
#include <cstdint>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/json_text.h"
#include "app/ctl/status_report.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"
#include "device/cycle_pause.h"
#include "device/device_discovery.h"
#include "device/device_ready.h"
#include "device/reading_fields.h"
#include "device/worker_pool.h"
#include "platform/ui/real_time_event_loop.h"
#include "session/monitor_session.h"

namespace app::ctl {
namespace {

constexpr std::chrono::milliseconds kDefaultInterval{3000};

struct WatchOptions {
  std::optional<std::int64_t> cycles;
  std::chrono::milliseconds interval = kDefaultInterval;
  bool json = false;
};

WatchOptions ParseWatchOptions(std::span<const std::string> arguments) {
  WatchOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--json") {
      options.json = true;
    } else if (word == "--cycles") {
      const std::int32_t cycles = WholeNumber(value(), "--cycles");
      if (cycles < 1) throw UsageError("--cycles must be at least 1");
      options.cycles = cycles;
    } else if (word == "--interval") {
      const std::int32_t interval = WholeNumber(value(), "--interval");
      if (interval < 0) throw UsageError("--interval must not be negative");
      options.interval = std::chrono::milliseconds(interval);
    } else {
      throw UsageError("watch does not take '" + word + "'");
    }
  }
  return options;
}

using Fields = std::vector<std::pair<const char*, float>>;

template <std::size_t N>
Fields FieldsOf(const std::array<device::ReadingField, N>& fields, const device::ReadingSet& r) {
  Fields values;
  for (const device::ReadingField& field : fields) values.emplace_back(field.name, r.*field.member);
  return values;
}

// Writes each hand-over as the UI thread receives it: one JSON object per line, or a short
// line of text a person follows.
class HandoverPrinter {
 public:
  HandoverPrinter(std::ostream& out, bool json) : out_(out), json_(json) {}

  void Print(const char* event, const Fields& fields = {}) {
    if (json_) {
      nlohmann::ordered_json line;
      line["event"] = event;
      for (const auto& [name, value] : fields) line[name] = JsonFloat(value);
      out_ << JsonText(line) << std::endl;
      return;
    }
    std::string text = event;
    for (const auto& [name, value] : fields) {
      text += "  " + std::string(name) + "=" + core::FixedText(value, 2);
    }
    out_ << text << std::endl;
  }

  void PrintRating(std::int32_t rating) {
    if (json_) {
      nlohmann::ordered_json line;
      line["event"] = "PowerRatingReady";
      line["PowerRating"] = rating;
      out_ << JsonText(line) << std::endl;
    } else {
      out_ << "PowerRatingReady  PowerRating=" << rating << std::endl;
    }
  }

 private:
  std::ostream& out_;
  const bool json_;
};

// Where the watch stands: printing every poll; the last counted cycle is done, so the rest
// of its hand-overs print but one that starts another cycle (the worker may have begun one
// before it saw the termination request) ends the printing; or printing nothing more.
enum class WatchState { Watching, LastCycleDone, Muted };

// Prints each poll the session hears of, group by group in the worker's order, counts the
// cycles asked for and ends the worker after the last, or when the PSU has gone.
class WatchView final : public session::SessionObserver {
 public:
  struct Context {
    CtlEnvironment& environment;
    const WatchOptions& options;
    ui::RealTimeEventLoop& loop;
    HandoverPrinter& printer;
    int& exitCode;
  };
  explicit WatchView(Context context) : c_(context) {}

  void SetWorker(device::WorkerHandle* worker) { worker_ = worker; }

  void PowerRatingReady(const session::MonitorSession&, std::int32_t rating) override {
    rated_ = true;
    c_.printer.PrintRating(rating);
    if (rating != 0) return;
    // The window would end here; so does the tool, as the device is never made ready.
    c_.environment.Err() << "***** Unsupport Power Type *****\n";
    c_.exitCode = kExitNoAnswer;
    c_.loop.Quit();
  }

  void PollCompleted(const session::MonitorSession& session,
                     const session::PollNews& news) override {
    const device::ReadingSet& r = session.Values();
    if (news.voltages && StartsCycle()) {
      c_.printer.Print("VoltagesReady", FieldsOf(device::kVoltageFields, r));
    }
    if (news.currents && StartsCycle()) {
      c_.printer.Print("CurrentsReady", FieldsOf(device::kCurrentFields, r));
    }
    // A poll of a device that has gone reads nothing before its watt: no cycle.
    if (news.watt) WattReady(r, news.voltages || news.currents);
    if (news.fans && state_ != WatchState::Muted) {
      c_.printer.Print("FansReady", FieldsOf(device::kFanFields, r));
    }
    if (news.temperatures && state_ != WatchState::Muted) {
      c_.printer.Print("TempsReady", FieldsOf(device::kTemperatureFields, r));
    }
    if (news.complete && state_ != WatchState::Muted) c_.printer.Print("CycleComplete");
  }

  // Every end of the worker but the tool's own is handed over: the watch waits for it.
  void WorkerEnded(const session::MonitorSession&) override {
    c_.loop.Quit();
    if (rated_) c_.printer.Print("ConnectionRemoved");
  }

 private:
  bool StartsCycle() {
    if (state_ == WatchState::LastCycleDone) state_ = WatchState::Muted;
    return state_ != WatchState::Muted;
  }

  void WattReady(const device::ReadingSet& r, bool fresh) {
    // Once the last counted cycle is done, a later poll that found the device gone changes
    // nothing: the watch has what it was asked for.
    if (!fresh && state_ == WatchState::Watching &&
        !device::OpenMonitorDevice(c_.environment.Bus())) {
      // Unplugged: the window would stop its worker on the removal notice; so does the tool.
      c_.environment.Err() << "quelta-ctl: the PSU controller was removed\n";
      c_.exitCode = kExitNoAnswer;
      state_ = WatchState::Muted;
      worker_->Terminate();
      return;
    }
    if (!StartsCycle()) return;
    c_.printer.Print("WattReady", {{"WattTotal", r.WattTotal}});
    // The cycle in progress still completes; the worker then ends after its pause.
    if (c_.options.cycles && ++cycles_ == *c_.options.cycles) {
      state_ = WatchState::LastCycleDone;
      worker_->Terminate();
    }
  }

  Context c_;
  device::WorkerHandle* worker_ = nullptr;
  WatchState state_ = WatchState::Watching;
  std::int64_t cycles_ = 0;
  bool rated_ = false;
};

// The watch does not start while another holder keeps the access mutex beyond --lock-wait
// (the worker itself waits for it without limit, as it must between its cycles). Returns the
// exit code when it cannot start.
std::optional<int> CheckAccess(CtlEnvironment& environment, platform::NamedMutex& mutex) {
  switch (mutex.LockWithin(environment.LockWait())) {
    case platform::NamedMutex::WaitResult::Acquired:
      mutex.Unlock();
      return std::nullopt;
    case platform::NamedMutex::WaitResult::TimedOut:
      return environment.ReportLockBusy(mutex);
    case platform::NamedMutex::WaitResult::Stopped:
    case platform::NamedMutex::WaitResult::Failed:
      break;
  }
  environment.Err() << "quelta-ctl: the access mutex could not be taken ("
                    << mutex.LockFilePath().string() << ")\n";
  return kExitNotFound;
}

}  // namespace

int RunWatch(CtlEnvironment& environment, std::span<const std::string> arguments) {
  const WatchOptions options = ParseWatchOptions(arguments);

  platform::HidBus& bus = environment.Bus();
  if (!device::OpenMonitorDevice(bus)) {
    environment.Err() << "quelta-ctl: the PSU controller was not found or could not be opened\n";
    return kExitNotFound;
  }
  platform::NamedMutex::OpenResult mutex = environment.OpenAccessMutex();
  if (!mutex.mutex) {
    environment.Err() << "quelta-ctl: " << mutex.error << "\n";
    return kExitNotFound;
  }
  if (const std::optional<int> refused = CheckAccess(environment, *mutex.mutex)) return *refused;

  ui::RealTimeEventLoop loop;
  device::DeviceReady ready;
  device::RealCyclePause pause;
  HandoverPrinter printer(environment.Out(), options.json);
  int exitCode = kExitDone;
  // The watch judges no alarms: the session only carries the readings to the printer.
  session::MonitorSession session{session::AlarmJudge{}};
  WatchView view({environment, options, loop, printer, exitCode});
  session.AddObserver(view);
  auto handovers = std::make_shared<device::WorkerHandovers>();
  session.TakeHandovers(*handovers);
  handovers->StartFailed = [&](std::uint64_t) {
    // It could not open the PSU or read the reference.
    environment.Err() << "quelta-ctl: the PSU controller did not answer the reference read\n";
    exitCode = kExitNoAnswer;
  };

  // Ready only once the worker's own start-up reads have succeeded.
  ready.Clear();
  device::WorkerContext context{
      bus,   *mutex.mutex, ready,    ready.BeginGeneration(), environment.Sleeper(),
      pause, loop,         handovers};
  context.cycleInterval = options.interval;
  device::WorkerPool pool;
  const std::unique_ptr<device::WorkerHandle> worker = pool.Start(std::move(context));
  view.SetWorker(worker.get());
  loop.Run();
  pool.StopAll();
  return exitCode;
}

}  // namespace app::ctl
