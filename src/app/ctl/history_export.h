#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "history/history_query.h"

namespace app::ctl {

enum class HistoryFormat { Text, Csv, Json };

// The record between two times as `quelta-ctl history` prints it: polls, minute rows and
// events in one timeline, oldest first (an event after a row of the same time).
//  - CSV: the header "time,kind,pid,polls,row," then "<name>_min,<name>_mean,<name>_max" for
//    every reading; kind is poll, minute or the event's kind; row names an alarm row; a poll's
//    three values are equal, an event's are empty.
//  - JSON: {"rows":[{"time":..,"kind":"poll"|"minute","pid":..,"polls":..,"readings":
//    {"Vol5V":{"min":..,"mean":..,"max":..},...}}],"events":[{"time":..,"kind":..,"pid":..,
//    "row":..}]}
//  - Text: one line a row, "TIME poll pid P: Vol5V 5.01 ..." or "TIME minute (20 polls) pid P:
//    Vol5V 4.99/5.01/5.02 ..."; an event "TIME alarm_start 12V2 pid P".
// Times are UTC ISO 8601 with milliseconds; readings the shortest text of their float.
void WriteHistory(std::ostream& out, HistoryFormat format,
                  const std::vector<history::HistoryRow>& rows,
                  const std::vector<history::HistoryEvent>& events);

// The record of `query` from <= time < to, written as WriteHistory writes it, each row as it
// is read and the whole text in one write at the end. False, with nothing written and the
// query's LastError(), when the record could not be read.
bool ExportHistory(std::ostream& out, HistoryFormat format, history::HistoryQuery& query,
                   history::HistoryTime from, history::HistoryTime to);

}  // namespace app::ctl
