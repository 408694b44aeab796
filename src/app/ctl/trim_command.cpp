#include "app/ctl/commands.h"
#include "app/ctl/ctl_arguments.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/monitor_session.h"
#include "app/ctl/usage_error.h"
#include "core/numbers.h"

namespace app::ctl {
namespace {

struct TrimChoice {
  std::string_view word;
  device::TrimRail rail;
  float nominal;
};
constexpr TrimChoice kChoices[] = {{"12v", device::TrimRail::V12, 12.0f},
                                   {"5v", device::TrimRail::V5, 5.0f},
                                   {"3.3v", device::TrimRail::V33, 3.3f}};
// A target further than this from nominal is refused: no trim should swing an output that far.
constexpr float kLargestDeviation = 0.10f;
constexpr char kUsage[] = "trim 12v|5v|3.3v VOLTS";

}  // namespace

int RunTrim(CtlEnvironment& environment, std::span<const std::string> arguments) {
  ExpectArguments(arguments, 2, kUsage);
  const TrimChoice* choice = nullptr;
  for (const TrimChoice& c : kChoices)
    if (arguments[0] == c.word) choice = &c;
  if (choice == nullptr)
    throw UsageError("trim takes 12v, 5v or 3.3v (got '" + arguments[0] + "')");
  const float target = ExactFloat(arguments[1], "VOLTS");
  const float lowest = choice->nominal * (1.0f - kLargestDeviation);
  const float highest = choice->nominal * (1.0f + kLargestDeviation);
  if (!(target >= lowest && target <= highest)) {
    throw UsageError("VOLTS for " + std::string(choice->word) + " must be between " +
                     core::FixedText(lowest, 2) + " and " + core::FixedText(highest, 2) + " (got " +
                     arguments[1] + ")");
  }

  bool answered = false;
  device::TrimResult result;
  const int code = RunUnderAccessLock(environment, [&](device::MonitorProtocol& protocol) {
    if (!protocol.ReadReference()) return static_cast<int>(kExitNoAnswer);
    const device::VoltageReplies voltages = protocol.ReadVoltageReplies();
    const bool feedbackRead =
        choice->rail == device::TrimRail::V12 ? voltages.second : voltages.first;
    if (!feedbackRead) return static_cast<int>(kExitNoAnswer);
    answered = true;
    result = protocol.TrimOutput(choice->rail, target);
    const bool stopped = result.feedbackLost || result.stop != device::TrimStop::None;
    return static_cast<int>(stopped ? kExitNoAnswer : kExitDone);
  });
  if (code == kExitNotFound) return code;
  std::ostream& out = environment.Out();
  if (!answered) {
    environment.Err() << "quelta-ctl: the PSU controller did not answer (could not read the "
                         "voltages)\n";
    return code;
  }
  if (result.steps == 0 && result.stop != device::TrimStop::None) {
    environment.Err() << "quelta-ctl: " << device::TrimStopMessage(choice->rail, target, result)
                      << "\n";
    return code;
  }
  out << choice->word << ": " << core::FixedText(result.startReading, 3) << " V -> "
      << core::FixedText(result.lastReading, 3) << " V in " << result.steps
      << (result.steps == 1 ? " step" : " steps") << " (target " << arguments[1] << " V)\n";
  if (result.feedbackLost) {
    environment.Err() << "quelta-ctl: stopped: the voltages could not be read after step "
                      << result.steps << "\n";
  } else if (result.stop != device::TrimStop::None) {
    environment.Err() << "quelta-ctl: " << device::TrimStopMessage(choice->rail, target, result)
                      << "\n";
  } else if (!result.reachedTarget) {
    out << "The target was not reached within " << result.steps << " steps.\n";
  }
  return code;
}

}  // namespace app::ctl
