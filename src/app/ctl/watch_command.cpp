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
  // The worker waits for the mutex without limit, as it must between its cycles; the watch
  // itself does not start while another holder keeps it beyond --lock-wait.
  switch (mutex.mutex->LockWithin(environment.LockWait())) {
    case platform::NamedMutex::WaitResult::Acquired:
      mutex.mutex->Unlock();
      break;
    case platform::NamedMutex::WaitResult::TimedOut:
      return environment.ReportLockBusy(*mutex.mutex);
    case platform::NamedMutex::WaitResult::Stopped:
    case platform::NamedMutex::WaitResult::Failed:
      environment.Err() << "quelta-ctl: the access mutex could not be taken ("
                        << mutex.mutex->LockFilePath().string() << ")\n";
      return kExitNotFound;
  }

  ui::RealTimeEventLoop loop;
  device::DeviceReady ready;
  device::RealCyclePause pause;
  HandoverPrinter printer(environment.Out(), options.json);
  std::int64_t cycles = 0;
  // Once the last counted cycle is done, a hand-over that starts another cycle (the worker may
  // have begun one before it saw the termination request) ends the printing.
  bool lastCycleSeen = false;
  bool muted = false;
  auto startsCycle = [&] {
    if (lastCycleSeen) muted = true;
    return !muted;
  };
  int exitCode = kExitDone;
  // Whether this poll brought a fresh reading before its watt: a poll of a device that has
  // gone reads nothing, and its stale figures are no cycle.
  bool fresh = false;

  device::WorkerPool pool;
  std::unique_ptr<device::WorkerHandle> worker;
  auto handovers = std::make_shared<device::WorkerHandovers>();
  bool rated = false;
  handovers->PowerRatingReady = [&](std::int32_t rating) {
    rated = true;
    printer.PrintRating(rating);
    if (rating == 0) {
      // The window would end here; so does the tool, as the device is never made ready.
      environment.Err() << "***** Unsupport Power Type *****\n";
      exitCode = kExitNoAnswer;
      loop.Quit();
    }
  };
  handovers->VoltagesReady = [&](const device::ReadingSet& r) {
    fresh = true;
    if (startsCycle()) printer.Print("VoltagesReady", FieldsOf(device::kVoltageFields, r));
  };
  handovers->CurrentsReady = [&](const device::ReadingSet& r) {
    fresh = true;
    if (startsCycle()) printer.Print("CurrentsReady", FieldsOf(device::kCurrentFields, r));
  };
  handovers->WattReady = [&](const device::ReadingSet& r) {
    const bool wasFresh = std::exchange(fresh, false);
    // Once the last counted cycle is done, a later poll that found the device gone changes
    // nothing: the watch has what it was asked for.
    if (!wasFresh && !muted && !lastCycleSeen && !device::OpenMonitorDevice(bus)) {
      // Unplugged: the window would stop its worker on the removal notice; so does the tool.
      environment.Err() << "quelta-ctl: the PSU controller was removed\n";
      exitCode = kExitNoAnswer;
      muted = true;
      worker->Terminate();
      return;
    }
    if (!startsCycle()) return;
    printer.Print("WattReady", {{"WattTotal", r.WattTotal}});
    // The cycle in progress still completes; the worker then ends after its pause.
    if (options.cycles && ++cycles == *options.cycles) {
      lastCycleSeen = true;
      worker->Terminate();
    }
  };
  handovers->FansReady = [&](const device::ReadingSet& r) {
    if (!muted) printer.Print("FansReady", FieldsOf(device::kFanFields, r));
  };
  handovers->TempsReady = [&](const device::ReadingSet& r) {
    if (!muted) printer.Print("TempsReady", FieldsOf(device::kTemperatureFields, r));
  };
  handovers->CycleComplete = [&] {
    if (!muted) printer.Print("CycleComplete");
  };
  // Every end of the worker but the tool's own is handed over: the watch waits for it.
  handovers->ConnectionRemoved = [&] {
    loop.Quit();
    if (rated) printer.Print("ConnectionRemoved");
  };
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
  worker = pool.Start(std::move(context));
  loop.Run();
  pool.StopAll();
  return exitCode;
}

}  // namespace app::ctl
