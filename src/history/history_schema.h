#pragma once

#include <string>

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

// The start of the minute `time` lies in.
HistoryTime MinuteOf(HistoryTime time);

}  // namespace history
