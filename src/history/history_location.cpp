#include "history/history_location.h"

#include <cstdlib>
#include <stdexcept>

namespace history {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

}  // namespace

HistoryEnvironment HistoryEnvironment::FromProcess() {
  return HistoryEnvironment{Env("XDG_STATE_HOME"), Env("HOME")};
}

std::filesystem::path DefaultHistoryFile(const HistoryEnvironment& environment) {
  std::filesystem::path state(environment.xdgStateHome);
  // The base directory rules ignore a relative XDG_STATE_HOME.
  if (environment.xdgStateHome.empty() || !state.is_absolute()) {
    if (environment.home.empty()) {
      throw std::runtime_error(
          "cannot find the history file: neither XDG_STATE_HOME nor HOME is set");
    }
    state = std::filesystem::path(environment.home) / ".local" / "state";
  }
  return state / "quelta" / "history.sqlite";
}

}  // namespace history
