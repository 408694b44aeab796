#include "historyview/history_model.h"

#include <gtest/gtest.h>

namespace historyview {
namespace {

constexpr std::int64_t kNow = 1'800'000'000'000;  // some moment in 2027
constexpr std::int64_t kHour = 3'600'000;
constexpr std::int64_t kFrom = kNow - kHour;
constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kMinute = 60 * kSecond;

HistoryRow Poll(std::int64_t timeMs, float watt) {
  HistoryRow row;
  row.timeMs = timeMs;
  row[Channel::Watt] = {watt, watt, watt};
  return row;
}

HistoryRow Fold(std::int64_t timeMs, std::uint32_t count, float min, float mean, float max) {
  HistoryRow row;
  row.timeMs = timeMs;
  row.spanMs = kMinute;
  row.count = count;
  row[Channel::Watt] = {min, mean, max};
  return row;
}

HistoryModel HourOf(std::vector<HistoryRow> rows, std::vector<HistoryEvent> events = {}) {
  HistoryModel model;
  model.SetRecord(std::move(rows), std::move(events));
  model.SetRange(RangeChoice::Hour, kNow);
  return model;
}

TEST(HistoryModel, EachRangeEndsNowAndHoldsTheRowsOnItsEdges) {
  const std::pair<RangeChoice, std::int64_t> lengths[] = {{RangeChoice::Hour, 3'600'000},
                                                          {RangeChoice::Day, 86'400'000},
                                                          {RangeChoice::Week, 604'800'000},
                                                          {RangeChoice::Month, 2'592'000'000}};
  for (const auto& [range, length] : lengths) {
    HistoryModel model;
    // Given newest first: the model puts them in time order.
    model.SetRecord(
        {Poll(kNow + 1, 4), Poll(kNow, 3), Poll(kNow - length, 2), Poll(kNow - length - 1, 1)}, {});
    model.SetRange(range, kNow);
    EXPECT_EQ(model.FromMs(), kNow - length);
    EXPECT_EQ(model.ToMs(), kNow);
    const auto shown = model.Shown();
    ASSERT_EQ(shown.size(), 2u) << length;
    EXPECT_EQ(shown[0][Channel::Watt].mean, 2.0f);
    EXPECT_EQ(shown[1][Channel::Watt].mean, 3.0f);
  }
}

TEST(HistoryModel, StatsTakeTheExtremesOfFoldsAndWeighTheMeanByPolls) {
  const HistoryModel model = HourOf({Poll(kFrom - 1, 999),  // before the range
                                     Poll(kFrom + 1 * kSecond, 100), Poll(kFrom + 4 * kSecond, 130),
                                     Fold(kFrom + kMinute, 20, 90, 110, 150)});
  const Stats watt = model.StatsOf(Channel::Watt);
  EXPECT_EQ(watt.polls, 22u);
  EXPECT_EQ(watt.min, 90.0f);
  EXPECT_EQ(watt.max, 150.0f);
  EXPECT_FLOAT_EQ(watt.mean, 110.454545f);  // (100 + 130 + 20 x 110) / 22

  const HistoryModel empty = HourOf({Poll(kFrom - 1, 999)});
  EXPECT_EQ(empty.StatsOf(Channel::Watt).polls, 0u);
}

TEST(HistoryModel, TheReadingsAtAMomentComeFromTheRowThatCoversItOrTheNearestWithinReach) {
  const HistoryModel model =
      HourOf({Fold(kFrom + kMinute, 20, 90, 110, 150), Poll(kFrom + 30 * kMinute, 200),
              Poll(kFrom + 30 * kMinute + 3 * kSecond, 203)});
  const auto watt = [&](std::int64_t t) -> std::optional<float> {
    const auto row = model.ReadingsAt(t);
    if (!row) return std::nullopt;
    return (*row)[Channel::Watt].mean;
  };
  // Inside the folded minute, and within reach of either of its ends.
  EXPECT_EQ(watt(kFrom + 90 * kSecond), 110.0f);
  EXPECT_EQ(watt(kFrom + 2 * kMinute + 10 * kSecond), 110.0f);
  EXPECT_EQ(watt(kFrom + 2 * kMinute + 10 * kSecond + 1), std::nullopt);
  EXPECT_EQ(watt(kFrom + 50 * kSecond), 110.0f);
  EXPECT_EQ(watt(kFrom + 50 * kSecond - 1), std::nullopt);
  // Between two polls the nearer wins.
  EXPECT_EQ(watt(kFrom + 30 * kMinute + 1 * kSecond), 200.0f);
  EXPECT_EQ(watt(kFrom + 30 * kMinute + 2 * kSecond), 203.0f);
  // Outside the range, nothing even near a row.
  EXPECT_EQ(watt(kFrom - 1), std::nullopt);
  EXPECT_EQ(watt(kNow + 1), std::nullopt);
}

TEST(HistoryModel, AlarmPeriodsAreClippedToTheRangeAndOpenOnesLastToItsEnd) {
  using Kind = HistoryEvent::Kind;
  const HistoryModel model =
      HourOf({}, {{kFrom - 5 * kMinute, Kind::AlarmStart, "12V2"},
                  {kFrom + 5 * kMinute, Kind::AlarmEnd, "12V2"},
                  {kFrom - 9 * kMinute, Kind::AlarmStart, "5V"},  // over before the range
                  {kFrom - 8 * kMinute, Kind::AlarmEnd, "5V"},
                  {kFrom + 10 * kMinute, Kind::AlarmStart, "PSUFan"},
                  {kFrom + 12 * kMinute, Kind::AlarmEnd, "PSUFan"},
                  {kFrom + 20 * kMinute, Kind::AlarmEnd, "Watt"},  // began before the record
                  {kFrom + 50 * kMinute, Kind::AlarmStart, "T1"},  // still on
                  {kNow + 1, Kind::AlarmStart, "12V1"}});          // after the range
  EXPECT_EQ(model.AlarmPeriods(),
            (std::vector<Period>{{kFrom, kFrom + 5 * kMinute, "12V2"},
                                 {kFrom, kFrom + 20 * kMinute, "Watt"},
                                 {kFrom + 10 * kMinute, kFrom + 12 * kMinute, "PSUFan"},
                                 {kFrom + 50 * kMinute, kNow, "T1"}}));
}

TEST(HistoryModel, AConnectionLossLastsUntilThePollsComeBack) {
  using Kind = HistoryEvent::Kind;
  const HistoryModel model =
      HourOf({Poll(kFrom + 90 * kSecond, 1), Poll(kFrom + 160 * kSecond, 2)},
             {{kFrom - 10 * kSecond, Kind::ConnectionLost, ""},  // back within the range
              {kFrom + 100 * kSecond, Kind::ConnectionLost, ""},
              {kFrom + 130 * kSecond, Kind::ConnectionLost, ""},  // the same gap again
              {kFrom + 170 * kSecond, Kind::ConnectionLost, ""}});
  EXPECT_EQ(model.ConnectionLosses(),
            (std::vector<Period>{{kFrom, kFrom + 90 * kSecond, ""},
                                 {kFrom + 100 * kSecond, kFrom + 160 * kSecond, ""},
                                 {kFrom + 170 * kSecond, kNow, ""}}));
}

TEST(HistoryModel, ColumnsHoldTheEnvelopeOfTheirRowsAndTheEndFallsInTheLast) {
  const HistoryModel model = HourOf({Poll(kFrom, 10), Poll(kFrom + 100 * kSecond, 20),
                                     Fold(kFrom + 2'000 * kSecond, 3, 1, 5, 9), Poll(kNow, 7)});
  const std::vector<Column> columns = model.Columns(Channel::Watt, 4);  // 900 s each
  ASSERT_EQ(columns.size(), 4u);
  EXPECT_TRUE(columns[0].any);
  EXPECT_EQ(columns[0].min, 10.0f);
  EXPECT_EQ(columns[0].mean, 15.0f);
  EXPECT_EQ(columns[0].max, 20.0f);
  EXPECT_FALSE(columns[1].any);
  EXPECT_EQ(columns[2].min, 1.0f);
  EXPECT_EQ(columns[2].mean, 5.0f);
  EXPECT_EQ(columns[2].max, 9.0f);
  EXPECT_EQ(columns[3].min, 7.0f);
  EXPECT_EQ(columns[3].max, 7.0f);
  EXPECT_TRUE(model.Columns(Channel::Watt, 0).empty());
}

}  // namespace
}  // namespace historyview
