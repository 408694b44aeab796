#include "app/quelta_options.h"

#include <charconv>
#include <ostream>
#include <string_view>

namespace app {
namespace {

// The longest wait a screenshot may ask for: one hour.
constexpr long long kMaxScreenshotAfterMs = 3'600'000;

// The value of an option given as "--name=value" or as "--name value".
std::string TakeValue(const std::vector<std::string>& args, std::size_t& i, std::string_view name) {
  const std::string& arg = args[i];
  if (arg.size() > name.size() && arg[name.size()] == '=') {
    std::string value = arg.substr(name.size() + 1);
    if (value.empty()) throw QueltaUsageError(std::string(name) + " needs a value");
    return value;
  }
  if (i + 1 >= args.size() || args[i + 1].empty())
    throw QueltaUsageError(std::string(name) + " needs a value");
  return args[++i];
}

bool Is(const std::string& arg, std::string_view name) {
  return arg == name || (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                         arg[name.size()] == '=');
}

std::chrono::milliseconds ParseCyclePause(const std::string& text) {
  constexpr long long kLongest = 3000;
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < 0 || value > kLongest) {
    throw QueltaUsageError("--cycle-ms takes milliseconds from 0 to " + std::to_string(kLongest) +
                           " (got '" + text + "')");
  }
  return std::chrono::milliseconds(value);
}

std::chrono::milliseconds ParseMilliseconds(const std::string& text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size() || value < 0 ||
      value > kMaxScreenshotAfterMs) {
    throw QueltaUsageError("--screenshot-after takes milliseconds from 0 to " +
                           std::to_string(kMaxScreenshotAfterMs) + " (got '" + text + "')");
  }
  return std::chrono::milliseconds(value);
}

}  // namespace

QueltaOptions ParseQueltaOptions(const std::vector<std::string>& args) {
  QueltaOptions options;
  bool screenshotAfterGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--tray") {
      options.tray = true;
    } else if (arg == "--simulate") {
      options.simulate = true;
    } else if (arg.rfind("--simulate=", 0) == 0) {
      options.simulate = true;
      options.scenarioFile = arg.substr(std::string_view("--simulate=").size());
      if (options.scenarioFile.empty()) throw QueltaUsageError("--simulate= needs a scenario file");
    } else if (Is(arg, "--registry")) {
      options.registryFile = TakeValue(args, i, "--registry");
    } else if (Is(arg, "--trace")) {
      options.traceFile = TakeValue(args, i, "--trace");
    } else if (Is(arg, "--cycle-ms")) {
      options.cyclePause = ParseCyclePause(TakeValue(args, i, "--cycle-ms"));
    } else if (Is(arg, "--screenshot-after")) {
      options.screenshotAfter = ParseMilliseconds(TakeValue(args, i, "--screenshot-after"));
      screenshotAfterGiven = true;
    } else if (Is(arg, "--screenshot")) {
      options.screenshotFile = TakeValue(args, i, "--screenshot");
    } else {
      throw QueltaUsageError("unknown argument '" + arg + "'");
    }
  }
  if (screenshotAfterGiven && !options.screenshotFile)
    throw QueltaUsageError("--screenshot-after needs --screenshot FILE");
  return options;
}

QueltaCommandLine ReadQueltaCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err) {
  QueltaCommandLine line;
  try {
    line.options = ParseQueltaOptions(args);
  } catch (const QueltaUsageError& error) {
    err << "quelta: " << error.what() << "\n" << QueltaUsage();
    line.exitCode = kExitFailed;
    return line;
  }
  if (line.options.help) {
    out << QueltaUsage();
    line.exitCode = kExitOk;
  } else if (line.options.version) {
    out << kQueltaVersionText << "\n";
    line.exitCode = kExitOk;
  }
  return line;
}

std::string QueltaUsage() {
  return "usage: quelta [--simulate[=SCENARIO]] [--tray] [--registry FILE] [--trace FILE] "
         "[--cycle-ms MS]\n"
         "              [--screenshot FILE [--screenshot-after MS]] [--version] [--help]\n"
         "  --simulate[=SCENARIO]  run on the simulated PSU (a JSON scenario shapes it)\n"
         "  --tray                 start put away in the notification area (its icon's\n"
         "                         Show or a double click brings the window)\n"
         "  --registry FILE        the settings file to use\n"
         "  --trace FILE           write every report exchanged to FILE\n"
         "  --cycle-ms MS          pause MS (0 to 3000) between the worker's cycles\n"
         "  --screenshot FILE      write the main window to FILE (PNG) after MS\n"
         "                         milliseconds (default 4000), then exit\n"
         "  --version              print the version\n";
}

}  // namespace app
