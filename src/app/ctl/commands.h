#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>

#include <span>
#include <string>

#include "app/ctl/ctl_environment.h"

namespace app::ctl {

// The device commands, one source file each.
int RunList(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunProbe(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunStatus(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunLed(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunFan(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunTrim(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunSend(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunGauge(CtlEnvironment& environment, std::span<const std::string> arguments);

// Writes one of the program's own messages to the window listening at `socketPath`.
int SendWindowMessage(const std::filesystem::path& socketPath, std::uint32_t message,
                      std::ostream& err);

// The worker and the settings commands.
int RunWatch(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunConfig(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunAlarms(CtlEnvironment& environment, std::span<const std::string> arguments);
// `settings import FILE`: a registry editor's export of the program key into the user's settings.
int RunSettings(CtlEnvironment& environment, std::span<const std::string> arguments);
// `alarms check [--json]`: one poll under the access lock, evaluated as the monitor page does.
int RunAlarmsCheck(CtlEnvironment& environment, bool json);
int RunSkinCheckCommand(CtlEnvironment& environment, std::span<const std::string> arguments);
// `metrics`: one poll under the access lock, printed as OpenMetrics text.
int RunMetrics(CtlEnvironment& environment, std::span<const std::string> arguments);
// `serve`: the worker without a window, serving the metrics of every poll over HTTP.
int RunServe(CtlEnvironment& environment, std::span<const std::string> arguments);
int RunAutostart(CtlEnvironment& environment, std::span<const std::string> arguments);
// The record of every poll: export, switch, retention.
int RunHistory(CtlEnvironment& environment, std::span<const std::string> arguments);

}  // namespace app::ctl
