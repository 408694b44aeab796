#include "app/ctl/run_ctl.h"

#include <exception>

#include "app/ctl/ctl_command.h"
#include "app/ctl/ctl_environment.h"
#include "app/ctl/ctl_options.h"
#include "app/ctl/exit_code.h"
#include "app/ctl/usage_error.h"

namespace app::ctl {
namespace {

constexpr char kProgram[] = "quelta-ctl";
constexpr std::size_t kSynopsisWidth = 27;

const CtlCommand* FindCommand(const std::string& name) {
  for (const CtlCommand& command : CtlCommands())
    if (command.name == name) return &command;
  return nullptr;
}

}  // namespace

std::string CtlUsage() {
  std::string text =
      std::string("usage: ") + kProgram +
      " [--simulate[=SCENARIO]] [--trace FILE] [--registry FILE] [--lock-wait SECONDS]\n"
      "       COMMAND\n\ncommands:\n";
  for (const CtlCommand& command : CtlCommands()) {
    std::string synopsis = "  " + std::string(command.name);
    if (!command.arguments.empty()) synopsis += " " + std::string(command.arguments);
    std::string_view summary = command.summary;
    bool first = true;
    while (!summary.empty() || first) {
      const std::size_t end = summary.find('\n');
      const std::string_view line = summary.substr(0, end);
      std::string lead = first ? synopsis : "";
      if (lead.size() >= kSynopsisWidth) {
        text += lead + "\n";
        lead.clear();
      }
      text += lead + std::string(kSynopsisWidth - lead.size(), ' ') + std::string(line) + "\n";
      first = false;
      summary = end == std::string_view::npos ? std::string_view() : summary.substr(end + 1);
    }
  }
  text +=
      "\noptions:\n"
      "  --simulate[=SCENARIO]      talk to the built-in simulated PSU, shaped by a JSON\n"
      "                             scenario file when one is given\n"
      "  --trace FILE               append every report and access-lock event to FILE\n"
      "  --registry FILE            the settings file (default:\n"
      "                             $XDG_CONFIG_HOME/quelta/registry.reg)\n"
      "  --lock-wait SECONDS        wait at most this long for the PSU's access lock while\n"
      "                             another program holds it (default 10)\n"
      "\nexit codes: 0 done; 1 bad usage or bad scenario; 2 device not found or not\n"
      "opened, or this user may not open it; 3 the device did not answer, or a command\n"
      "was not delivered, or another program kept the access lock; 4 an error\n"
      "in the settings file; 5 a save did not reach the settings file or the autostart\n"
      "entry could not be written or removed; 6 alarms check found a row in alarm;\n"
      "7 the history record could not be read; 8 serve could not listen on its address\n";
  return text;
}

int RunCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const CtlHost& host) {
  try {
    const CtlOptions options = ParseCtlOptions(args);
    if (options.help) {
      out << CtlUsage();
      return kExitDone;
    }
    if (options.command.empty()) throw UsageError("no command given");
    const CtlCommand* command = FindCommand(options.command);
    if (command == nullptr) throw UsageError("unknown command '" + options.command + "'");
    CtlEnvironment environment(options, out, err, host);
    return command->run(environment, options.arguments);
  } catch (const UsageError& error) {
    err << kProgram << ": " << error.what() << "\n"
        << "Try '" << kProgram << " --help' for the commands.\n";
    return kExitUsage;
  } catch (const std::exception& error) {
    err << kProgram << ": " << error.what() << "\n";
    return kExitNotFound;
  }
}

}  // namespace app::ctl
