#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace historyview {

// The readings the history window draws, in the order of its panels.
enum class Channel : std::size_t {
  Watt,
  Vol12V1,
  Vol12V2,
  Vol12V3,
  Vol12V4,
  Vol5V,
  Vol33V,
  TempPSU,
  TempT1,
  TempT2,
  TempT3,
  TempT4,
  FanPSU,
  FanSystem,
};
inline constexpr std::size_t kChannelCount = 14;

struct ChannelInfo {
  std::string_view name;  // "12V1"
  std::string_view unit;  // "V"
  int decimals;           // shown with
};
const ChannelInfo& InfoOf(Channel channel);

// One reading of a row: a poll has min = mean = max; a folded minute has all three.
struct Sample {
  float min = 0.0f;
  float mean = 0.0f;
  float max = 0.0f;
};

// One row of the record: a poll, or a minute of polls folded together.
struct HistoryRow {
  std::int64_t timeMs = 0;  // Unix time in ms: of the poll, or where the minute starts
  std::int64_t spanMs = 0;  // 0 for a poll; the length of a folded minute
  std::uint32_t count = 1;  // polls behind the row; weighs the mean
  std::array<Sample, kChannelCount> values{};

  const Sample& operator[](Channel c) const { return values[static_cast<std::size_t>(c)]; }
  Sample& operator[](Channel c) { return values[static_cast<std::size_t>(c)]; }
};

// What happened between polls: an alarm row started or ended, the PSU went away.
struct HistoryEvent {
  enum class Kind { AlarmStart, AlarmEnd, ConnectionLost };
  std::int64_t timeMs = 0;
  Kind kind = Kind::AlarmStart;
  std::string row;  // the alarm row ("12V2"); empty for a connection loss
};

// A stretch of time to mark: an alarm (its row named) or a connection loss (`row` empty).
struct Period {
  std::int64_t fromMs = 0;
  std::int64_t toMs = 0;
  std::string row;
  bool operator==(const Period&) const = default;
};

struct Stats {
  float min = 0.0f;
  float mean = 0.0f;
  float max = 0.0f;
  std::uint64_t polls = 0;  // 0: nothing in the range
};

// The lengths of time the window offers.
enum class RangeChoice { Hour, Day, Week, Month };
std::chrono::milliseconds LengthOf(RangeChoice range);

// The drawn envelope of one reading in one pixel column.
struct Column {
  bool any = false;
  float min = 0.0f;
  float mean = 0.0f;
  float max = 0.0f;
};

// What the history window shows, without drawing it: the rows in the range chosen, the
// min/mean/max of each reading over them, the readings at a moment, the alarm and connection
// loss periods, and the envelope per pixel column. Rows and events are kept in time order.
class HistoryModel {
 public:
  // A pointer this far from the nearest row shows nothing (a gap in the record).
  static constexpr std::int64_t kPointerReachMs = 10'000;

  // The record, oldest first (rows out of order are sorted).
  void SetRecord(std::vector<HistoryRow> rows, std::vector<HistoryEvent> events);
  // The range shown: the chosen length up to `nowMs`.
  void SetRange(RangeChoice range, std::int64_t nowMs);

  RangeChoice Range() const { return range_; }
  std::int64_t FromMs() const { return fromMs_; }
  std::int64_t ToMs() const { return toMs_; }

  // The rows whose time lies in the range, ends included.
  std::span<const HistoryRow> Shown() const;
  // Min of the minima, max of the maxima, the mean weighted by the polls behind each row.
  Stats StatsOf(Channel channel) const;
  // The row at `timeMs`: a folded minute that covers it, else the nearest row within
  // kPointerReachMs; nothing outside the range or in a gap.
  std::optional<HistoryRow> ReadingsAt(std::int64_t timeMs) const;
  // Alarm periods in the range, per row in order of their start: a start without an end lasts
  // to the end of the range, an end without a start began before it. Clipped to the range.
  std::vector<Period> AlarmPeriods() const;
  // From each connection loss to the next row (polling again), or the end of the range.
  std::vector<Period> ConnectionLosses() const;
  // The envelope of one reading over `width` equal columns of the range.
  std::vector<Column> Columns(Channel channel, int width) const;

 private:
  std::vector<HistoryRow> rows_;
  std::vector<HistoryEvent> events_;
  RangeChoice range_ = RangeChoice::Hour;
  std::int64_t fromMs_ = 0;
  std::int64_t toMs_ = 0;
};

}  // namespace historyview
