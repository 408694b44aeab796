#include "metrics/open_metrics_text.h"

#include <gtest/gtest.h>

#include <limits>

namespace metrics {
namespace {

// A poll whose readings all differ, so that a reading shown under another's label shows.
MetricsPoll DistinctPoll() {
  MetricsPoll poll;
  poll.success = true;
  device::ReadingSet& r = poll.readings;
  r.Vol12V1 = 12.05f;
  r.Vol12V2 = 12.1f;
  r.Vol12V3 = 11.95f;
  r.Vol12V4 = 12.2f;
  r.Vol5V = 5.02f;
  r.Vol33V = 3.31f;
  r.Vol5Vsb = 5.05f;
  r.VolNeg12V = -11.9f;
  r.Cur12V1 = 20.5f;
  r.Cur12V2 = 15.75f;
  r.Cur12V3 = 1.5f;
  r.Cur12V4 = 0.25f;
  r.Cur5V = 10.5f;
  r.Cur33V = 8.125f;
  r.WattTotal = 345.2f;
  r.FanPSU = 1500.0f;
  r.FanSystem = 1200.0f;
  r.TempPSU = 40.5f;
  r.TempT1 = 31.0f;
  r.TempT2 = 32.5f;
  r.TempT3 = 33.0f;
  r.TempT4 = 34.25f;
  r.PowerRating = 550;
  // Rows 0, 3, 6, 14 and 19: the first, the last and three between.
  for (const std::size_t row : {0, 3, 6, 14, 19}) poll.alarms.flags[row] = true;
  return poll;
}

TEST(OpenMetricsText, ShowsEveryReadingUnderItsOwnLabelAndEveryAlarmRow) {
  EXPECT_EQ(
      OpenMetricsText(DistinctPoll()),
      "# HELP quelta_rail_volts Output voltage of each rail, in volts.\n"
      "# TYPE quelta_rail_volts gauge\n"
      "quelta_rail_volts{rail=\"12V1\"} 12.05\n"
      "quelta_rail_volts{rail=\"12V2\"} 12.1\n"
      "quelta_rail_volts{rail=\"12V3\"} 11.95\n"
      "quelta_rail_volts{rail=\"12V4\"} 12.2\n"
      "quelta_rail_volts{rail=\"5V\"} 5.02\n"
      "quelta_rail_volts{rail=\"3.3V\"} 3.31\n"
      "quelta_rail_volts{rail=\"5Vsb\"} 5.05\n"
      "quelta_rail_volts{rail=\"-12V\"} -11.9\n"
      "# HELP quelta_rail_amperes Current drawn from each rail that measures it, in amperes.\n"
      "# TYPE quelta_rail_amperes gauge\n"
      "quelta_rail_amperes{rail=\"12V1\"} 20.5\n"
      "quelta_rail_amperes{rail=\"12V2\"} 15.75\n"
      "quelta_rail_amperes{rail=\"12V3\"} 1.5\n"
      "quelta_rail_amperes{rail=\"12V4\"} 0.25\n"
      "quelta_rail_amperes{rail=\"5V\"} 10.5\n"
      "quelta_rail_amperes{rail=\"3.3V\"} 8.125\n"
      "# HELP quelta_power_watts Total power drawn from the PSU, in watts.\n"
      "# TYPE quelta_power_watts gauge\n"
      "quelta_power_watts 345.2\n"
      "# HELP quelta_fan_rpm Fan speed, in revolutions per minute.\n"
      "# TYPE quelta_fan_rpm gauge\n"
      "quelta_fan_rpm{fan=\"psu\"} 1500\n"
      "quelta_fan_rpm{fan=\"system\"} 1200\n"
      "# HELP quelta_temperature_celsius Temperature of the PSU and sensors T1 to T4, in "
      "Celsius.\n"
      "# TYPE quelta_temperature_celsius gauge\n"
      "quelta_temperature_celsius{sensor=\"psu\"} 40.5\n"
      "quelta_temperature_celsius{sensor=\"t1\"} 31\n"
      "quelta_temperature_celsius{sensor=\"t2\"} 32.5\n"
      "quelta_temperature_celsius{sensor=\"t3\"} 33\n"
      "quelta_temperature_celsius{sensor=\"t4\"} 34.25\n"
      "# HELP quelta_alarm 1 while the alarm row is in alarm by the stored thresholds, else "
      "0.\n"
      "# TYPE quelta_alarm gauge\n"
      "quelta_alarm{row=\"Watt\"} 1\n"
      "quelta_alarm{row=\"PSUFan\"} 0\n"
      "quelta_alarm{row=\"SystemFan\"} 0\n"
      "quelta_alarm{row=\"5V\"} 1\n"
      "quelta_alarm{row=\"33V\"} 0\n"
      "quelta_alarm{row=\"12V1\"} 0\n"
      "quelta_alarm{row=\"12V2\"} 1\n"
      "quelta_alarm{row=\"12V3\"} 0\n"
      "quelta_alarm{row=\"12V4\"} 0\n"
      "quelta_alarm{row=\"Cur5V\"} 0\n"
      "quelta_alarm{row=\"Cur33V\"} 0\n"
      "quelta_alarm{row=\"Cur12V1\"} 0\n"
      "quelta_alarm{row=\"Cur12V2\"} 0\n"
      "quelta_alarm{row=\"Cur12V3\"} 0\n"
      "quelta_alarm{row=\"Cur12V4\"} 1\n"
      "quelta_alarm{row=\"TempPSU\"} 0\n"
      "quelta_alarm{row=\"T1\"} 0\n"
      "quelta_alarm{row=\"T2\"} 0\n"
      "quelta_alarm{row=\"T3\"} 0\n"
      "quelta_alarm{row=\"T4\"} 1\n"
      "# HELP quelta_power_rating_watts Rated power of the PSU, in watts.\n"
      "# TYPE quelta_power_rating_watts gauge\n"
      "quelta_power_rating_watts 550\n"
      "# HELP quelta_poll_success 1 when the last poll read every reading of the PSU, else "
      "0.\n"
      "# TYPE quelta_poll_success gauge\n"
      "quelta_poll_success 1\n"
      "# EOF\n");
}

// A failed poll shows no reading (not even the stale ones it carries), only the rating while
// it is known; before any rating, only the failure.
TEST(OpenMetricsText, AFailedPollShowsOnlyTheRatingAndTheFailure) {
  MetricsPoll failed = DistinctPoll();
  failed.success = false;
  EXPECT_EQ(OpenMetricsText(failed),
            "# HELP quelta_power_rating_watts Rated power of the PSU, in watts.\n"
            "# TYPE quelta_power_rating_watts gauge\n"
            "quelta_power_rating_watts 550\n"
            "# HELP quelta_poll_success 1 when the last poll read every reading of the PSU, else "
            "0.\n"
            "# TYPE quelta_poll_success gauge\n"
            "quelta_poll_success 0\n"
            "# EOF\n");
  EXPECT_EQ(OpenMetricsText({}),
            "# HELP quelta_poll_success 1 when the last poll read every reading of the PSU, else "
            "0.\n"
            "# TYPE quelta_poll_success gauge\n"
            "quelta_poll_success 0\n"
            "# EOF\n");
}

// Values a float holds that are not plain decimals keep their OpenMetrics spellings; the
// largest float and the smallest step above zero keep every digit they need.
TEST(OpenMetricsText, WritesNonNumbersAndExtremesAsTheFormatSpellsThem) {
  MetricsPoll poll = DistinctPoll();
  poll.readings.WattTotal = std::numeric_limits<float>::quiet_NaN();
  poll.readings.FanPSU = std::numeric_limits<float>::infinity();
  poll.readings.FanSystem = -std::numeric_limits<float>::infinity();
  poll.readings.TempT1 = std::numeric_limits<float>::max();
  poll.readings.TempT2 = std::numeric_limits<float>::denorm_min();
  const std::string text = OpenMetricsText(poll);
  EXPECT_NE(text.find("\nquelta_power_watts NaN\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nquelta_fan_rpm{fan=\"psu\"} +Inf\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nquelta_fan_rpm{fan=\"system\"} -Inf\n"), std::string::npos) << text;
  EXPECT_NE(text.find("{sensor=\"t1\"} 3.4028235e+38\n"), std::string::npos) << text;
  EXPECT_NE(text.find("{sensor=\"t2\"} 1e-45\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace metrics
