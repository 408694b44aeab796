#include "app/ctl/polled_session.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <memory>

namespace app::ctl {
namespace {

constexpr std::size_t kTempPSURow = 15;
constexpr std::size_t kTempT2Row = 17;

// The stored alarm settings and one poll's snapshot, as a load and a read give them.
struct StoredAndRead {
  settings::AlarmSettings alarms;
  StatusSnapshot snapshot;
};

// The session once `poll` was loaded and handed over.
std::unique_ptr<PolledSession> Polled(const StoredAndRead& poll) {
  auto polled = std::make_unique<PolledSession>();
  polled->Session().Alarms() = poll.alarms;
  polled->Take(poll.snapshot);
  return polled;
}

// A poll whose every group was read: 612.5 W under a 700 W limit; PSU 41 °C, T1..T4 28, 31,
// 35, 26 °C; T2's alarm at 30 °C is the only one switched on.
StoredAndRead EveryGroupRead() {
  StoredAndRead poll;
  poll.alarms.Watt = 700.0f;
  poll.alarms.TempPSU = {40.0f, false};
  poll.alarms.TempT2 = {30.0f, true};
  StatusGroups& g = poll.snapshot.groups;
  g.Reference = g.Calibration = g.PowerRating = g.VoltagesA = g.VoltagesB = true;
  g.Currents = g.Fans = g.SensorTemps = g.PsuTemp = true;
  device::ReadingSet& r = poll.snapshot.readings;
  r.PowerRating = 550;
  r.Vol12V1 = 12.04f;
  r.Cur12V1 = 19.0f;
  r.WattTotal = 612.5f;
  r.FanPSU = 1450.0f;
  r.TempPSU = 41.0f;
  r.TempT1 = 28.0f;
  r.TempT2 = 31.0f;
  r.TempT3 = 35.0f;
  r.TempT4 = 26.0f;
  return poll;
}

TEST(PolledSession, APollOfEveryGroupIsJudgedOnTheStoredSettings) {
  const auto polled = Polled(EveryGroupRead());
  ASSERT_TRUE(polled->Complete());
  const session::MonitorSession& s = polled->Session();
  session::AlarmFlags t2Only{};
  t2Only[kTempT2Row] = true;
  EXPECT_EQ(s.Flags(), t2Only);
  EXPECT_EQ(s.Alarms().TempT2.Value, 30.0f);
  EXPECT_EQ(s.PowerRating(), 550);
  EXPECT_EQ(s.Values().Vol12V1, 12.04f);
  EXPECT_EQ(s.Values().Cur12V1, 19.0f);
  EXPECT_EQ(s.Values().WattTotal, 612.5f);
  EXPECT_EQ(s.Values().FanPSU, 1450.0f);
  EXPECT_EQ(s.Values().TempT4, 26.0f);
}

TEST(PolledSession, APollWithoutTheSensorsKeepsThePsuTemperatureAndJudgesNothing) {
  StoredAndRead poll = EveryGroupRead();
  poll.alarms.TempPSU = {40.0f, true};  // 41 °C is above it, yet nothing is judged
  poll.snapshot.groups.SensorTemps = false;
  poll.snapshot.readings.TempT1 = poll.snapshot.readings.TempT2 = 0.0f;
  poll.snapshot.readings.TempT3 = poll.snapshot.readings.TempT4 = 0.0f;
  const auto polled = Polled(poll);
  EXPECT_FALSE(polled->Complete());
  EXPECT_EQ(polled->Session().Flags(), session::AlarmFlags{});
  // The needles read the PSU's temperature on its own.
  EXPECT_EQ(polled->Session().Values().TempPSU, 41.0f);
  EXPECT_EQ(polled->Session().Values().WattTotal, 612.5f);

  // Once the sensors answer too, the PSU's row is judged with the rest.
  poll.snapshot.groups.SensorTemps = true;
  poll.snapshot.readings.TempT2 = 29.5f;  // under T2's 30 °C
  session::AlarmFlags psuOnly{};
  psuOnly[kTempPSURow] = true;
  EXPECT_EQ(Polled(poll)->Session().Flags(), psuOnly);
}

TEST(PolledSession, UnreadFansAndCurrentsStayAtZero) {
  StoredAndRead poll = EveryGroupRead();
  poll.snapshot.groups.Fans = false;
  poll.snapshot.groups.Currents = false;
  const auto polled = Polled(poll);
  EXPECT_FALSE(polled->Complete());
  EXPECT_EQ(polled->Session().Values().FanPSU, 0.0f);
  EXPECT_EQ(polled->Session().Values().Cur12V1, 0.0f);
  EXPECT_EQ(polled->Session().Values().Vol12V1, 12.04f);
}

}  // namespace
}  // namespace app::ctl
