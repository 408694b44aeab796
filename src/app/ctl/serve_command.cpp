#include <QCoreApplication>
#include <array>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "alarms/alarm_notices.h"
#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/service_connection.h"
#include "app/ctl/service_polls.h"
#include "app/ctl/termination_signals.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"
#include "history/history_clock.h"
#include "history/history_location.h"
#include "history/history_settings.h"
#include "history/history_writer.h"
#include "metrics/metrics_board.h"
#include "metrics/metrics_endpoint.h"
#include "metrics/open_metrics_text.h"
#include "platform/http/http_server.h"
#include "platform/notify/dbus_notifier.h"
#include "platform/registry/registry.h"
#include "platform/ui/real_time_event_loop.h"
#include "settings/alarm_settings_store.h"
#include "settings/program_settings_store.h"

namespace app::ctl {
namespace {

constexpr platform::http::ListenAddress kDefaultListen{"127.0.0.1", 9469};
constexpr std::chrono::milliseconds kLongestCycle{3000};
// Enough for a Prometheus or two and a person with curl; more wait their turn at the door.
constexpr std::size_t kMaxConnections = 16;
constexpr std::chrono::milliseconds kRequestDeadline{5000};

struct ServeOptions {
  platform::http::ListenAddress listen = kDefaultListen;
  std::chrono::milliseconds cycle = kLongestCycle;
};

ServeOptions ParseServeOptions(std::span<const std::string> arguments) {
  ServeOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw UsageError(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--listen") {
      const std::string& text = value();
      const auto address = platform::http::ParseListenAddress(text);
      if (!address) {
        throw UsageError("--listen takes a numeric address and a port, as 127.0.0.1:9469, not '" +
                         text + "'");
      }
      options.listen = *address;
    } else if (word == "--cycle-ms") {
      const std::int32_t ms = WholeNumber(value(), "--cycle-ms");
      if (ms < 0 || ms > kLongestCycle.count()) {
        throw UsageError("--cycle-ms must be 0 to 3000");
      }
      options.cycle = std::chrono::milliseconds(ms);
    } else {
      throw UsageError("serve does not take '" + word + "'");
    }
  }
  return options;
}

std::string UrlOf(const platform::http::ListenAddress& listen, std::uint16_t port) {
  const bool v6 = listen.host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + listen.host + "]" : listen.host) + ":" + std::to_string(port) +
         metrics::kMetricsPath;
}

// What the service reads from the settings once, at its start.
struct ServeSettings {
  settings::AlarmSettings alarms;
  history::HistorySettings history;
  bool notifyOnAlarm = true;
};

// The settings; nothing, with the error printed, when they cannot be read.
std::optional<ServeSettings> LoadServeSettings(CtlEnvironment& environment) {
  ServeSettings loaded;
  try {
    settings::SensorNames names;
    settings::LoadAlarmSettings(environment.Registry(), loaded.alarms, names);
    loaded.history = history::LoadHistorySettings(environment.Registry());
    loaded.notifyOnAlarm = settings::LoadNotifyOnAlarm(environment.Registry());
  } catch (const history::HistorySettingsError& error) {
    environment.Err() << error.what() << '\n';
    return std::nullopt;
  } catch (const core::ConversionError& error) {
    environment.Err() << error.what() << '\n';
    return std::nullopt;
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << '\n';
    return std::nullopt;
  }
  return loaded;
}

// The record, written on a thread of its own; what it has to say reaches the log through the
// loop, like everything else the service says. Null when recording is off or cannot start.
std::unique_ptr<history::HistoryWriter> StartRecorder(const history::HistorySettings& settings,
                                                      const history::HistoryClock& clock,
                                                      ui::RealTimeEventLoop& loop,
                                                      std::ostream& log) {
  if (!settings.enabled) return nullptr;
  try {
    return std::make_unique<history::HistoryWriter>(
        history::HistoryRecorderOptions{
            history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess()), 0,
            settings.retentionDays},
        clock, [&loop, &log](const std::string& notice) {
          loop.Post([&log, notice] { log << "quelta-ctl serve: " << notice << std::endl; });
        });
  } catch (const std::runtime_error& error) {
    log << "quelta-ctl serve: not recording: " << error.what() << std::endl;
    return nullptr;
  }
}

// Alarm starts go to the desktop when the service runs in a session with a message bus (a
// systemd user unit does) and the settings do not switch them off. Qt's D-Bus needs an
// application object; it is made here unless the process has one, and it keeps the argument
// count and list it was made with, so they live here beside it.
class AlarmStartNotifier {
 public:
  AlarmStartNotifier(bool wanted, std::ostream& err) {
    const char* sessionBus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!wanted || sessionBus == nullptr || *sessionBus == '\0') return;
    if (QCoreApplication::instance() == nullptr) {
      qt_ = std::make_unique<QCoreApplication>(qtArgc_, qtArgv_.data());
    }
    notifier_ = std::make_unique<platform::DbusNotifier>();
    if (!notifier_->Connected()) {
      err << "quelta-ctl serve: no session bus; alarm starts are not told to the desktop"
          << std::endl;
      notifier_.reset();
    }
  }
  AlarmStartNotifier(const AlarmStartNotifier&) = delete;
  AlarmStartNotifier& operator=(const AlarmStartNotifier&) = delete;

  // Tells the desktop of the alarms that start with this poll, as AlarmNotices words and
  // limits them; nothing when alarm starts are not told.
  void Judged(const alarms::AlarmState& now, const device::ReadingSet& readings,
              const settings::AlarmSettings& alarmSettings) {
    if (!notifier_) return;
    for (const alarms::AlarmNotice& notice : notices_.Evaluated(now, readings, alarmSettings)) {
      notifier_->Notify(notice.summary, notice.body);
    }
  }

 private:
  int qtArgc_ = 1;
  std::array<char, 11> qtName_{"quelta-ctl"};
  std::array<char*, 2> qtArgv_{qtName_.data(), nullptr};
  std::unique_ptr<QCoreApplication> qt_;
  std::unique_ptr<platform::DbusNotifier> notifier_;  // ends before the application object
  alarms::AlarmNotices notices_{[] { return std::chrono::steady_clock::now(); }};
};

// The service's last line.
std::string StoppedLine(int signal) {
  if (signal == 0) return "quelta-ctl serve: stopped";
  return std::string("quelta-ctl serve: stopped on ") + (signal == SIGINT ? "SIGINT" : "SIGTERM");
}

}  // namespace

int RunServe(CtlEnvironment& environment, std::span<const std::string> arguments) {
  const ServeOptions options = ParseServeOptions(arguments);

  ui::RealTimeEventLoop loop;
  // Before any thread starts (the bus's change monitor, the worker, the server, the record's
  // writer), so that only the watcher takes the signals.
  std::atomic<int> stoppedBy{0};
  TerminationSignals terminations([&loop, &stoppedBy](int number) {
    stoppedBy = number;
    loop.Quit();
  });
  if (!terminations.Watching()) {
    environment.Err() << "quelta-ctl: SIGTERM and SIGINT could not be watched\n";
    return kExitUsage;
  }

  std::optional<ServeSettings> settings = LoadServeSettings(environment);
  if (!settings) return kExitSettingsError;
  platform::HidBus& bus = environment.Bus();
  platform::NamedMutex::OpenResult mutex = environment.OpenAccessMutex();
  if (!mutex.mutex) {
    environment.Err() << "quelta-ctl: no access mutex: " << mutex.error << "\n";
    return kExitNotFound;
  }

  // Until the first poll, the metrics say only that there is none.
  metrics::MetricsBoard board;
  board.Publish(metrics::OpenMetricsText({}));
  platform::http::HttpServer server({options.listen, kMaxConnections, kRequestDeadline},
                                    [&board](const platform::http::HttpRequest& request) {
                                      return metrics::AnswerMetricsRequest(request, board);
                                    });
  if (const std::string error = server.Start(); !error.empty()) {
    environment.Err() << "quelta-ctl: cannot listen on " << error << '\n';
    return kExitNotListening;
  }
  const history::SystemHistoryClock clock;
  const std::unique_ptr<history::HistoryWriter> recorder =
      StartRecorder(settings->history, clock, loop, environment.Err());
  AlarmStartNotifier desktop(settings->notifyOnAlarm, environment.Err());
  ServicePolls polls(settings->alarms, board, recorder.get(),
                     [&](const alarms::AlarmState& now, const device::ReadingSet& readings) {
                       desktop.Judged(now, readings, settings->alarms);
                     });
  ServiceConnection connection(
      {bus, *mutex.mutex, environment.Sleeper(), loop, options.cycle},
      [&polls](const CompletedPoll& poll) { polls.Poll(poll); },
      [&polls](bool connected) { polls.Connection(connected); }, environment.Err());
  environment.Out() << "serving " << UrlOf(options.listen, server.Port()) << std::endl;
  connection.Begin();
  if (environment.Serving()) {
    environment.Serving()(server.Port(), [&terminations] { terminations.Raise(); });
  }
  loop.Run();

  connection.Stop();
  server.Stop();
  environment.Err() << StoppedLine(stoppedBy) << std::endl;
  return kExitDone;
}

}  // namespace app::ctl
