#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_clock.h"

namespace history {

// The statements that make the layout described in history_recorder.h; each IF NOT EXISTS,
// so two recorders opening a new file at once both succeed.
std::string CreateSchemaSql();

// The columns of a poll row after time and pid: "ReferenceVoltage, Vol5V, ...".
std::string PollColumnList();
// The columns of a minute row after time, pid and polls: "ReferenceVoltage_min,
// ReferenceVoltage_mean, ReferenceVoltage_max, ...".
std::string MinuteColumnList();

// Inserts one poll: parameters 1 time, 2 pid, 3.. the readings in kHistoryColumns order.
std::string InsertPollSql();
// Folds every poll with time < ?1 into its minute row (per writer), merging with a minute row
// already there; then the folded polls are deleted by the caller.
std::string FoldSql();

// Polls and minute rows alike, as time, pid, polls, folded, then min, mean, max of each
// reading: the one shape every reader takes rows in. Parameters ?1 from and ?2 to.
std::string UnifiedRowsSql();
// The same shape from one table alone, in its key's order (time, pid): no sort needed.
std::string PollRowsSql();
std::string MinuteRowsSql();

// How long a summary row is: a week is about 2,000 of them, as many points as the history
// window draws across a range, and a month 8,640 rather than 43,200 minute rows.
inline constexpr std::int64_t kSummaryWidthMs = 5 * 60'000;
// Deletes the summary rows of whole stretches ?1 <= time < ?2, before SummarizeSql makes them
// again from the polls and minute rows there.
std::string ClearSummarySql();
std::string SummarizeSql();
// The summary rows of ?1 <= time < ?2 as time, polls, then min, mean, max of each reading
// named ("WattTotal"), in no particular order.
std::string SummaryRowsSql(const std::vector<std::string_view>& names);

// The start of the minute `time` lies in.
HistoryTime MinuteOf(HistoryTime time);

}  // namespace history
