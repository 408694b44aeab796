#include <gtest/gtest.h>

#include "history/history_time.h"
#include "tests/history/history_test_support.h"

namespace {

using history::FormatHistoryTime;
using history::ParseHistoryTime;
using history_testing::kStart;
using namespace std::chrono_literals;

// "now" for the offsets: 2026-12-01T00:00:00Z.
std::string Parsed(std::string_view text) {
  const auto time = ParseHistoryTime(text, kStart);
  return time ? FormatHistoryTime(*time) : "refused";
}

TEST(HistoryTime, TakesEveryIsoFormAndZone) {
  EXPECT_EQ(Parsed("2026-12-09"), "2026-12-09T00:00:00.000Z");
  EXPECT_EQ(Parsed("2026-12-09T03:45"), "2026-12-09T03:45:00.000Z");
  EXPECT_EQ(Parsed("2026-12-09 03:45:07"), "2026-12-09T03:45:07.000Z");
  EXPECT_EQ(Parsed("2026-12-09T03:45:07.25Z"), "2026-12-09T03:45:07.250Z");
  EXPECT_EQ(Parsed("2026-12-09T03:45:07.1239"), "2026-12-09T03:45:07.123Z");
  EXPECT_EQ(Parsed("2026-12-09T00:30+01:00"), "2026-12-08T23:30:00.000Z");
  EXPECT_EQ(Parsed("2026-12-09T23:30-0130"), "2026-12-10T01:00:00.000Z");
  // The last moment of a leap year's last day, and its first.
  EXPECT_EQ(Parsed("2028-12-31T23:59:59.999Z"), "2028-12-31T23:59:59.999Z");
  EXPECT_EQ(Parsed("2028-02-29"), "2028-02-29T00:00:00.000Z");
  EXPECT_EQ(Parsed("1970-01-01T00:00Z"), "1970-01-01T00:00:00.000Z");
}

// Four-digit years are written digit by digit; beyond them the general form takes over.
TEST(HistoryTime, WritesTheLastFourDigitYearAndTheFirstFiveDigitOne) {
  EXPECT_EQ(FormatHistoryTime(history::HistoryTime(253402300799999ms)), "9999-12-31T23:59:59.999Z");
  EXPECT_EQ(FormatHistoryTime(history::HistoryTime(253402300800000ms)),
            "10000-01-01T00:00:00.000Z");
  EXPECT_EQ(FormatHistoryTime(history::HistoryTime(1796083200001ms)), "2026-12-01T00:00:00.001Z");
}

TEST(HistoryTime, CountsOffsetsBackInEachUnit) {
  EXPECT_EQ(Parsed("now"), "2026-12-01T00:00:00.000Z");
  EXPECT_EQ(Parsed("-90s"), "2026-11-30T23:58:30.000Z");
  EXPECT_EQ(Parsed("-30m"), "2026-11-30T23:30:00.000Z");
  EXPECT_EQ(Parsed("-24h"), "2026-11-30T00:00:00.000Z");
  EXPECT_EQ(Parsed("-7d"), "2026-11-24T00:00:00.000Z");
  EXPECT_EQ(Parsed("-0s"), "2026-12-01T00:00:00.000Z");
}

TEST(HistoryTime, RefusesWhatIsNotATime) {
  for (const char* text : {"",
                           "2026-02-29",
                           "2026-13-01",
                           "2026-12-00",
                           "2026-12-01T24:00",
                           "2026-12-01T12:60",
                           "2026-12-01T12:00:60",
                           "2026-12-01T12",
                           "2026-12-01T12:00.5",
                           "2026-12-01T12:00:00.",
                           "2026-12-01T12:00+25:00",
                           "2026-12-01T12:00Zx",
                           "2026-12-1",
                           "-5",
                           "-5y",
                           "-s",
                           "+5m",
                           "-1234567890s",
                           "yesterday",
                           "5m"}) {
    EXPECT_EQ(Parsed(text), "refused") << "'" << text << "'";
  }
}

}  // namespace
