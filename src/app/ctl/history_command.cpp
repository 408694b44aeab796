#include <exception>
#include <optional>
#include <stdexcept>

#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/history_export.h"
#include "app/ctl/usage_error.h"
#include "history/history_location.h"
#include "history/history_query.h"
#include "history/history_recorder.h"
#include "history/history_settings.h"
#include "history/history_time.h"

namespace app::ctl {
namespace {

constexpr std::string_view kUsage =
    "history [--from T] [--to T] [--csv|--json] | history on|off|status | history retention "
    "DAYS";

std::filesystem::path HistoryFile() {
  return history::DefaultHistoryFile(history::HistoryEnvironment::FromProcess());
}

// The settings file's errors are the settings file's, named as the other settings commands
// name them.
template <typename Command>
int WithHistorySettings(CtlEnvironment& environment, Command command) {
  try {
    return command(environment.Registry());
  } catch (const platform::RegistryReadError& error) {
    environment.Err() << error.what() << "\n";
    return kExitSettingsError;
  } catch (const history::HistorySettingsError& error) {
    environment.Err() << error.what() << "\n";
    return kExitSettingsError;
  }
}

int Save(CtlEnvironment& environment, platform::RegistryStore& store,
         const history::HistorySettings& settings) {
  if (history::SaveHistorySettings(store, settings)) return kExitDone;
  const std::string why = store.LastCommitError();
  environment.Err() << "quelta-ctl: the history settings were not saved"
                    << (why.empty() ? " (no key " + std::string(history::kHistoryKey) + ")"
                                    : ": " + why)
                    << "\n";
  return kExitSaveFailed;
}

int Switch(CtlEnvironment& environment, bool on) {
  return WithHistorySettings(environment, [&](platform::RegistryStore& store) {
    history::HistorySettings settings = history::LoadHistorySettings(store);
    settings.enabled = on;
    const int saved = Save(environment, store, settings);
    if (saved == kExitDone) environment.Out() << "history " << (on ? "on" : "off") << "\n";
    return saved;
  });
}

int Status(CtlEnvironment& environment) {
  return WithHistorySettings(environment, [&](platform::RegistryStore& store) -> int {
    const history::HistorySettings settings = history::LoadHistorySettings(store);
    environment.Out() << (settings.enabled ? "on" : "off") << "\n"
                      << "retention " << settings.retentionDays << " days\n"
                      << "file " << HistoryFile().string() << "\n";
    return kExitDone;
  });
}

int Retention(CtlEnvironment& environment, const std::string& text) {
  const std::int32_t days = WholeNumber(text, "DAYS");
  if (days < 1 || days > history::kMaxRetentionDays) {
    throw UsageError("DAYS must be 1 to " + std::to_string(history::kMaxRetentionDays) + " (got '" +
                     text + "')");
  }
  return WithHistorySettings(environment, [&](platform::RegistryStore& store) -> int {
    history::HistorySettings settings = history::LoadHistorySettings(store);
    settings.retentionDays = days;
    const int saved = Save(environment, store, settings);
    if (saved != kExitDone) return saved;
    environment.Out() << "history retention " << days << " days\n";
    // What is older goes now, not at the next minute a recorder happens to run.
    const std::filesystem::path file = HistoryFile();
    if (std::filesystem::exists(file)) {
      const history::SystemHistoryClock clock;
      history::HistoryRecorderOptions options;
      options.file = file;
      options.retentionDays = days;
      history::HistoryRecorder recorder(options, clock);
      if (!recorder.Maintain()) environment.Err() << "quelta-ctl: " << recorder.LastError() << "\n";
      for (const std::string& notice : recorder.TakeNotices())
        environment.Err() << "quelta-ctl: " << notice << "\n";
    }
    return kExitDone;
  });
}

history::HistoryTime TimeOption(const std::string& text, history::HistoryTime now,
                                std::string_view option) {
  const std::optional<history::HistoryTime> time = history::ParseHistoryTime(text, now);
  if (!time) {
    throw UsageError(std::string(option) +
                     " takes an ISO 8601 time (2026-12-09T03:45:00Z) or an offset such as "
                     "-90s, -30m, -24h, -7d (got '" +
                     text + "')");
  }
  return *time;
}

int Export(CtlEnvironment& environment, std::span<const std::string> arguments) {
  const history::HistoryTime now = history::SystemHistoryClock().Now();
  // Without bounds: everything the record holds.
  history::HistoryTime from{};
  history::HistoryTime to = history::HistoryTime::max();
  std::optional<HistoryFormat> format;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if ((word == "--from" || word == "--to") && i + 1 < arguments.size()) {
      (word == "--from" ? from : to) = TimeOption(arguments[++i], now, word);
    } else if ((word == "--csv" || word == "--json") && !format) {
      format = word == "--csv" ? HistoryFormat::Csv : HistoryFormat::Json;
    } else {
      throw UsageError("usage: quelta-ctl " + std::string(kUsage));
    }
  }
  const std::filesystem::path file = HistoryFile();
  if (!std::filesystem::exists(file)) {
    environment.Err() << "quelta-ctl: no history yet (" << file.string() << ")\n";
    WriteHistory(environment.Out(), format.value_or(HistoryFormat::Text), {}, {});
    return kExitDone;
  }
  history::HistoryQuery query(file);
  if (!query.Open() ||
      !ExportHistory(environment.Out(), format.value_or(HistoryFormat::Text), query, from, to)) {
    environment.Err() << "quelta-ctl: " << query.LastError() << "\n";
    return kExitNoHistory;
  }
  return kExitDone;
}

}  // namespace

int RunHistory(CtlEnvironment& environment, std::span<const std::string> arguments) {
  try {
    if (arguments.size() == 1 && (arguments[0] == "on" || arguments[0] == "off"))
      return Switch(environment, arguments[0] == "on");
    if (arguments.size() == 1 && arguments[0] == "status") return Status(environment);
    if (!arguments.empty() && arguments[0] == "retention") {
      if (arguments.size() != 2) throw UsageError("usage: quelta-ctl history retention DAYS");
      return Retention(environment, arguments[1]);
    }
    return Export(environment, arguments);
  } catch (const std::runtime_error& error) {
    // No HOME to find the file under: said as it is.
    if (dynamic_cast<const UsageError*>(&error) != nullptr) throw;
    environment.Err() << "quelta-ctl: " << error.what() << "\n";
    return kExitNoHistory;
  }
}

}  // namespace app::ctl
