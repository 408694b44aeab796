#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;

// What `quelta` was asked to do.
struct QueltaOptions {
  bool help = false;
  bool version = false;
  bool simulate = false;
  bool tray = false;         // start put away in the notification area
  std::string scenarioFile;  // with --simulate=SCENARIO; empty for the built-in model
  std::optional<std::string> registryFile;
  std::optional<std::string> traceFile;
  std::optional<std::string> screenshotFile;
  std::chrono::milliseconds screenshotAfter{4000};
  // --cycle-ms MS: the worker's pause between cycles instead of 3000 ms (for soak runs).
  std::optional<std::chrono::milliseconds> cyclePause;
};

// A command line quelta cannot take; the message names the offending argument.
class QueltaUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Throws QueltaUsageError.
QueltaOptions ParseQueltaOptions(const std::vector<std::string>& args);

std::string QueltaUsage();

// The command line as both window programs take it, before either makes anything.
struct QueltaCommandLine {
  QueltaOptions options;
  // Set when the program ends here: it printed the usage (a usage error on `err`, with exit
  // 1; --help on `out`, 0) or its version (on `out`, 0).
  std::optional<int> exitCode;
};
QueltaCommandLine ReadQueltaCommandLine(const std::vector<std::string>& args, std::ostream& out,
                                        std::ostream& err);

// The version comes from the build, which has it in one place (the project's version).
inline constexpr const char* kQueltaVersionText = "Quelta ver " QUELTA_VERSION;

}  // namespace app
