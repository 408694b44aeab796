#pragma once

#include <optional>
#include <string_view>

namespace history {

// What besides polls the record keeps.
enum class HistoryEventKind { AlarmStart, AlarmEnd, ConnectionLost, ConnectionBack };

// "alarm_start", "alarm_end", "connection_lost", "connection_back": the stored text.
constexpr std::string_view EventKindName(HistoryEventKind kind) {
  switch (kind) {
    case HistoryEventKind::AlarmStart:
      return "alarm_start";
    case HistoryEventKind::AlarmEnd:
      return "alarm_end";
    case HistoryEventKind::ConnectionLost:
      return "connection_lost";
    case HistoryEventKind::ConnectionBack:
      return "connection_back";
  }
  return "";
}

constexpr std::optional<HistoryEventKind> EventKindFromName(std::string_view name) {
  for (HistoryEventKind kind :
       {HistoryEventKind::AlarmStart, HistoryEventKind::AlarmEnd, HistoryEventKind::ConnectionLost,
        HistoryEventKind::ConnectionBack}) {
    if (EventKindName(kind) == name) return kind;
  }
  return std::nullopt;
}

}  // namespace history
