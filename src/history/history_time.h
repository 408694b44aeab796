#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "history/history_clock.h"

namespace history {

// "2026-12-09T03:45:07.250Z": UTC, always with milliseconds.
std::string FormatHistoryTime(HistoryTime time);
// The same text appended to `out`: an export writes one a row.
void AppendHistoryTime(std::string& out, HistoryTime time);

// A time as quelta-ctl takes it: ISO 8601 ("2026-12-09", "2026-12-09T03:45",
// "2026-12-09T03:45:07", "2026-12-09T03:45:07.25", "2026-12-09 03:45", each with an optional
// "Z" or "+hh:mm"/"-hh:mm" zone; without a zone it is UTC), "now", or an offset back from
// `now` ("-90s", "-30m", "-24h", "-7d"). nullopt for anything else.
std::optional<HistoryTime> ParseHistoryTime(std::string_view text, HistoryTime now);

}  // namespace history
