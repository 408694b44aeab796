#pragma once

#include <filesystem>
#include <string>

#include "history/history_clock.h"

namespace history {

struct SetAsideResult {
  bool done = false;
  std::string message;  // for the user: both paths when done, what failed when not
};

// Renames a record that cannot be used (`why`: "damaged" or "foreign") out of the way, with
// its WAL and shared-memory files, to "<file>.<why>-<UTC time>" (then "-2", "-3"... when that
// exists): never over another file, so nothing is lost and a new record can start at `file`.
SetAsideResult SetAside(const std::filesystem::path& file, const std::string& why, HistoryTime now);

}  // namespace history
