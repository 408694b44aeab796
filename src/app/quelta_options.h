#pragma once

#include <chrono>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace app {

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
// The version comes from the build, which has it in one place (the project's version).
inline constexpr const char* kQueltaVersionText = "Quelta ver " QUELTA_VERSION;

}  // namespace app
