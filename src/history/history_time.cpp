#include "history/history_time.h"

#include <cstdio>

namespace history {
namespace {

using std::chrono::days;
using std::chrono::hours;
using std::chrono::milliseconds;
using std::chrono::minutes;
using std::chrono::seconds;

// Reads exactly `count` digits at `at`, moving past them.
bool Digits(std::string_view text, std::size_t& at, std::size_t count, int& value) {
  if (at + count > text.size()) return false;
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  at += count;
  return true;
}

bool Take(std::string_view text, std::size_t& at, char c) {
  if (at < text.size() && text[at] == c) {
    ++at;
    return true;
  }
  return false;
}

// "-90s", "-30m", "-24h", "-7d".
std::optional<HistoryTime> Offset(std::string_view text, HistoryTime now) {
  constexpr std::size_t kMaxDigits = 9;
  if (text.size() < 3 || text.front() != '-' || text.size() - 2 > kMaxDigits) return std::nullopt;
  long long amount = 0;
  for (const char c : text.substr(1, text.size() - 2)) {
    if (c < '0' || c > '9') return std::nullopt;
    amount = amount * 10 + (c - '0');
  }
  switch (text.back()) {
    case 's':
      return now - seconds(amount);
    case 'm':
      return now - minutes(amount);
    case 'h':
      return now - hours(amount);
    case 'd':
      return now - days(amount);
    default:
      return std::nullopt;
  }
}

std::optional<HistoryTime> Iso(std::string_view text) {
  std::size_t at = 0;
  int year = 0;
  int month = 0;
  int day = 0;
  if (!Digits(text, at, 4, year) || !Take(text, at, '-') || !Digits(text, at, 2, month) ||
      !Take(text, at, '-') || !Digits(text, at, 2, day))
    return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  HistoryTime time = std::chrono::sys_days(date);
  if (at == text.size()) return time;
  if (!Take(text, at, 'T') && !Take(text, at, ' ')) return std::nullopt;
  int hour = 0;
  int minute = 0;
  if (!Digits(text, at, 2, hour) || !Take(text, at, ':') || !Digits(text, at, 2, minute) ||
      hour > 23 || minute > 59)
    return std::nullopt;
  time += hours(hour) + minutes(minute);
  if (Take(text, at, ':')) {
    int second = 0;
    if (!Digits(text, at, 2, second) || second > 59) return std::nullopt;
    time += seconds(second);
    if (Take(text, at, '.') || Take(text, at, ',')) {
      // Fractions beyond the millisecond are dropped.
      int scale = 100;
      std::size_t digits = 0;
      while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        time += milliseconds((text[at] - '0') * scale);
        scale /= 10;
        ++at;
        ++digits;
      }
      if (digits == 0) return std::nullopt;
    }
  }
  if (at == text.size() || (Take(text, at, 'Z') && at == text.size())) return time;
  const char sign = text[at];
  if (sign != '+' && sign != '-') return std::nullopt;
  ++at;
  int zoneHours = 0;
  int zoneMinutes = 0;
  if (!Digits(text, at, 2, zoneHours)) return std::nullopt;
  Take(text, at, ':');
  if (at < text.size() && !Digits(text, at, 2, zoneMinutes)) return std::nullopt;
  if (at != text.size() || zoneHours > 23 || zoneMinutes > 59) return std::nullopt;
  // 03:45+01:00 is 02:45 in UTC.
  const minutes zone = hours(zoneHours) + minutes(zoneMinutes);
  return sign == '+' ? time - zone : time + zone;
}

}  // namespace

std::string FormatHistoryTime(HistoryTime time) {
  std::string text;
  AppendHistoryTime(text, time);
  return text;
}

void AppendHistoryTime(std::string& out, HistoryTime time) {
  const std::chrono::sys_days day = std::chrono::floor<days>(time);
  const std::chrono::year_month_day date(day);
  const long long ms = (time - day).count();
  const int year = static_cast<int>(date.year());
  if (year < 0 || year > 9999) {
    // Beyond four digits: the rare case keeps the general formatting.
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld.%03lldZ", year,
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    out += text;
    return;
  }
  char text[] = "0000-00-00T00:00:00.000Z";
  const auto put = [&text](std::size_t at, long long value, std::size_t digits) {
    for (std::size_t i = digits; i-- > 0; value /= 10)
      text[at + i] = static_cast<char>('0' + value % 10);
  };
  put(0, year, 4);
  put(5, static_cast<unsigned>(date.month()), 2);
  put(8, static_cast<unsigned>(date.day()), 2);
  put(11, ms / 3600000, 2);
  put(14, ms / 60000 % 60, 2);
  put(17, ms / 1000 % 60, 2);
  put(20, ms % 1000, 3);
  out.append(text, sizeof text - 1);
}

std::optional<HistoryTime> ParseHistoryTime(std::string_view text, HistoryTime now) {
  if (text == "now") return now;
  if (!text.empty() && text.front() == '-') return Offset(text, now);
  return Iso(text);
}

}  // namespace history
