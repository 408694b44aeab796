#pragma once

#include <filesystem>
#include <string>

namespace history {

// What the record's default place depends on.
struct HistoryEnvironment {
  std::string xdgStateHome;  // $XDG_STATE_HOME, "" when unset
  std::string home;          // $HOME, "" when unset

  static HistoryEnvironment FromProcess();
};

// $XDG_STATE_HOME/quelta/history.sqlite, or ~/.local/state/quelta/history.sqlite when
// XDG_STATE_HOME is unset or not absolute. Throws std::runtime_error when HOME is needed and
// not set.
std::filesystem::path DefaultHistoryFile(const HistoryEnvironment& environment);

}  // namespace history
