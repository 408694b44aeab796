#include "historyview/history_model.h"

#include <algorithm>
#include <limits>
#include <map>

namespace historyview {
namespace {

constexpr std::array<ChannelInfo, kChannelCount> kInfo = {{
    {"Power", "W", 1},
    {"12V1", "V", 2},
    {"12V2", "V", 2},
    {"12V3", "V", 2},
    {"12V4", "V", 2},
    {"5V", "V", 2},
    {"3.3V", "V", 2},
    {"PSU", "\u00B0C", 1},
    {"T1", "\u00B0C", 1},
    {"T2", "\u00B0C", 1},
    {"T3", "\u00B0C", 1},
    {"T4", "\u00B0C", 1},
    {"PSU fan", "rpm", 0},
    {"System fan", "rpm", 0},
}};

bool Earlier(const HistoryRow& a, const HistoryRow& b) {
  return a.timeMs < b.timeMs;
}

}  // namespace

const ChannelInfo& InfoOf(Channel channel) {
  return kInfo[static_cast<std::size_t>(channel)];
}

std::chrono::milliseconds LengthOf(RangeChoice range) {
  using namespace std::chrono;
  switch (range) {
    case RangeChoice::Hour:
      return hours(1);
    case RangeChoice::Day:
      return hours(24);
    case RangeChoice::Week:
      return hours(24 * 7);
    case RangeChoice::Month:
      return hours(24 * 30);
  }
  return hours(1);
}

void HistoryModel::SetRecord(std::vector<HistoryRow> rows, std::vector<HistoryEvent> events) {
  rows_ = std::move(rows);
  events_ = std::move(events);
  std::stable_sort(rows_.begin(), rows_.end(), Earlier);
  std::stable_sort(
      events_.begin(), events_.end(),
      [](const HistoryEvent& a, const HistoryEvent& b) { return a.timeMs < b.timeMs; });
}

void HistoryModel::SetRange(RangeChoice range, std::int64_t nowMs) {
  range_ = range;
  toMs_ = nowMs;
  fromMs_ = nowMs - LengthOf(range).count();
}

std::span<const HistoryRow> HistoryModel::Shown() const {
  const auto first =
      std::lower_bound(rows_.begin(), rows_.end(), fromMs_,
                       [](const HistoryRow& r, std::int64_t t) { return r.timeMs < t; });
  const auto last = std::upper_bound(
      first, rows_.end(), toMs_, [](std::int64_t t, const HistoryRow& r) { return t < r.timeMs; });
  return {first, last};
}

Stats HistoryModel::StatsOf(Channel channel) const {
  Stats stats;
  double sum = 0.0;
  stats.min = std::numeric_limits<float>::max();
  stats.max = std::numeric_limits<float>::lowest();
  for (const HistoryRow& row : Shown()) {
    const Sample& s = row[channel];
    stats.min = std::min(stats.min, s.min);
    stats.max = std::max(stats.max, s.max);
    sum += static_cast<double>(s.mean) * row.count;
    stats.polls += row.count;
  }
  if (stats.polls == 0) return Stats{};
  stats.mean = static_cast<float>(sum / static_cast<double>(stats.polls));
  return stats;
}

std::optional<HistoryRow> HistoryModel::ReadingsAt(std::int64_t timeMs) const {
  if (timeMs < fromMs_ || timeMs > toMs_) return std::nullopt;
  const std::span<const HistoryRow> shown = Shown();
  // The first row after the moment and the one before it are the only candidates.
  const auto after =
      std::upper_bound(shown.begin(), shown.end(), timeMs,
                       [](std::int64_t t, const HistoryRow& r) { return t < r.timeMs; });
  const HistoryRow* best = nullptr;
  std::int64_t bestDistance = kPointerReachMs + 1;
  if (after != shown.begin()) {
    const HistoryRow& before = *(after - 1);
    const std::int64_t distance =
        std::max<std::int64_t>(0, timeMs - (before.timeMs + before.spanMs));
    if (distance < bestDistance) {
      best = &before;
      bestDistance = distance;
    }
  }
  if (after != shown.end() && after->timeMs - timeMs < bestDistance) best = &*after;
  if (!best) return std::nullopt;
  return *best;
}

std::vector<Period> HistoryModel::AlarmPeriods() const {
  std::vector<Period> periods;
  std::map<std::string, std::int64_t> open;  // row -> start
  for (const HistoryEvent& e : events_) {
    if (e.timeMs > toMs_) break;
    if (e.kind == HistoryEvent::Kind::AlarmStart) {
      if (!open.contains(e.row)) open[e.row] = e.timeMs;
    } else if (e.kind == HistoryEvent::Kind::AlarmEnd) {
      const auto at = open.find(e.row);
      // An end whose start is not in the record began before it.
      const std::int64_t from =
          at != open.end() ? at->second : std::numeric_limits<std::int64_t>::min();
      if (at != open.end()) open.erase(at);
      if (e.timeMs >= fromMs_) periods.push_back(Period{std::max(from, fromMs_), e.timeMs, e.row});
    }
  }
  for (const auto& [row, from] : open)
    periods.push_back(Period{std::max(from, fromMs_), toMs_, row});
  std::stable_sort(periods.begin(), periods.end(),
                   [](const Period& a, const Period& b) { return a.fromMs < b.fromMs; });
  return periods;
}

std::vector<Period> HistoryModel::ConnectionLosses() const {
  std::vector<Period> periods;
  for (const HistoryEvent& e : events_) {
    if (e.kind != HistoryEvent::Kind::ConnectionLost || e.timeMs > toMs_) continue;
    const auto next =
        std::upper_bound(rows_.begin(), rows_.end(), e.timeMs,
                         [](std::int64_t t, const HistoryRow& r) { return t < r.timeMs; });
    const std::int64_t to = next == rows_.end() ? toMs_ : std::min(next->timeMs, toMs_);
    if (to < fromMs_) continue;
    // Losses before the polls came back merge into one.
    if (!periods.empty() && periods.back().toMs >= e.timeMs) continue;
    periods.push_back(Period{std::max(e.timeMs, fromMs_), to, {}});
  }
  return periods;
}

std::vector<Column> HistoryModel::Columns(Channel channel, int width) const {
  std::vector<Column> columns(static_cast<std::size_t>(std::max(width, 0)));
  const std::int64_t length = toMs_ - fromMs_;
  if (columns.empty() || length <= 0) return columns;
  std::vector<double> sums(columns.size(), 0.0);
  std::vector<std::uint64_t> counts(columns.size(), 0);
  for (const HistoryRow& row : Shown()) {
    const auto index = std::min<std::size_t>(
        columns.size() - 1, static_cast<std::size_t>((row.timeMs - fromMs_) *
                                                     static_cast<std::int64_t>(width) / length));
    Column& c = columns[index];
    const Sample& s = row[channel];
    if (!c.any) {
      c = Column{true, s.min, s.mean, s.max};
    } else {
      c.min = std::min(c.min, s.min);
      c.max = std::max(c.max, s.max);
    }
    sums[index] += static_cast<double>(s.mean) * row.count;
    counts[index] += row.count;
  }
  for (std::size_t i = 0; i < columns.size(); ++i) {
    if (counts[i] > 0)
      columns[i].mean = static_cast<float>(sums[i] / static_cast<double>(counts[i]));
  }
  return columns;
}

}  // namespace historyview
