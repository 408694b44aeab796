#include "session/monitor_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "alarms/alarm_evaluation.h"
#include "device/device_identity.h"
#include "device/quelta_device_thread.h"
#include "device/recording_sleeper.h"
#include "device/worker_pool.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/headless_event_loop.h"
#include "sim/scenario.h"
#include "sim/simulated_bus.h"
#include "support/worker_test_support.h"

namespace session {
namespace {

using namespace std::chrono_literals;
using Events = std::vector<std::string>;

sim::ReplyOverride Bytes(std::array<std::uint8_t, 8> data) {
  return sim::ReplyOverride{sim::ReplyOverride::Kind::Bytes, data};
}

// A PSU whose every reply is fixed, so that each reading can be worked out by hand: reference
// 3.3 V; every current channel's gain 1 with offsets 1..6; temperatures 41 (PSU), 28, 31, 35,
// 26 (T1..T4).
sim::Scenario FixedPsu() {
  sim::Scenario scenario;
  auto& replies = scenario.monitor.replies;
  replies[0x00] = Bytes({0x80, 0x00, 0, 0, 0, 0, 0, 0});
  replies[0x21] = Bytes({0xC2, 0x00, 0x80, 0x00, 0xC0, 0x80, 0xBA, 0x40});
  replies[0x22] = Bytes({0xBA, 0x40, 0x80, 0x00, 0xFF, 0xC0, 0x94, 0x00});
  replies[0x12] = Bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0xFF, 0xFF});
  replies[0x13] = Bytes({0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0xFF, 0xFF});
  replies[0x02] = Bytes({0x11, 0x13, 0xFF, 0x16, 0x19, 0x1D, 0xFF, 0x22});
  replies[0x04] = Bytes({0x1C, 0xFF, 0x1F, 0xFF, 0x23, 0xFF, 0x1A, 0xFF});
  replies[0x05] = Bytes({0x29, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  return scenario;
}

// Notes what the observers were told, in order, with the news of every poll.
struct Told : SessionObserver {
  Events events;
  std::vector<PollNews> polls;

  void PowerRatingReady(const MonitorSession&, std::int32_t rating) override {
    events.push_back("PowerRatingReady " + std::to_string(rating));
  }
  void PollCompleted(const MonitorSession&, const PollNews& news) override {
    events.push_back("PollCompleted");
    polls.push_back(news);
  }
  void WorkerEnded(const MonitorSession&) override { events.push_back("WorkerEnded"); }
  void ConnectionChanged(const MonitorSession&, bool connected) override {
    events.push_back(connected ? "Connected" : "NotConnected");
  }
  Events Take() { return std::exchange(events, {}); }
};

constexpr std::size_t kTempPSURow = 15;
constexpr std::size_t kTempT4Row = 19;

class MonitorSessionTest : public ::testing::Test {
 protected:
  explicit MonitorSessionTest(sim::Scenario scenario = FixedPsu()) : bus_(std::move(scenario)) {
    lockDir_ = std::filesystem::temp_directory_path() /
               ("quelta-session-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(lockDir_);
    mutex_ = platform::NamedMutex::Open(device::kAccessMutexName, lockDir_).mutex;
    session_.TakeHandovers(*handovers_);
    session_.AddObserver(told_);
  }
  ~MonitorSessionTest() override {
    pool_.StopAll();
    std::filesystem::remove_all(lockDir_);
  }

  std::unique_ptr<device::WorkerHandle> Start() {
    return pool_.Start(device::WorkerContext{bus_, *mutex_, ready_, ready_.BeginGeneration(),
                                             sleeper_, pause_, loop_, handovers_});
  }

  // Runs what the worker has posted once it has reached its n-th pause.
  Events PollUntilPause(std::size_t pause) {
    EXPECT_TRUE(pause_.AwaitPause(pause)) << "the worker never reached pause " << pause;
    loop_.RunPending();
    return told_.Take();
  }

  sim::SimulatedBus bus_;
  std::filesystem::path lockDir_;
  std::unique_ptr<platform::NamedMutex> mutex_;
  device::DeviceReady ready_;
  device::RecordingSleeper sleeper_;
  device::testing::SteppedPause pause_;
  ui::HeadlessEventLoop loop_;
  int judged_ = 0;
  MonitorSession session_{[this](const device::ReadingSet& r, const settings::AlarmSettings& s) {
    ++judged_;
    return alarms::EvaluateAlarms(r, s, true).flags;
  }};
  Told told_;
  std::shared_ptr<device::WorkerHandovers> handovers_ = std::make_shared<device::WorkerHandovers>();
  device::WorkerPool pool_;
};

TEST_F(MonitorSessionTest, ObserversHearOncePerPollWithEveryGroupTakenIn) {
  const auto worker = Start();
  EXPECT_EQ(PollUntilPause(1), (Events{"PowerRatingReady 550", "PollCompleted"}));
  const PollNews& news = told_.polls.at(0);
  EXPECT_TRUE(news.voltages && news.currents && news.watt && news.fans && news.temperatures);
  EXPECT_TRUE(news.complete);

  const device::ReadingSet& r = session_.Values();
  EXPECT_EQ(session_.PowerRating(), 550);
  EXPECT_NEAR(r.Vol5V, 5.0015625f, 1e-5f);
  EXPECT_FLOAT_EQ(r.Vol33V, 3.3f);
  EXPECT_NEAR(r.Vol12V4, 12.0043945f, 1e-4f);
  EXPECT_NEAR(r.Vol12V1, 12.0043945f, 1e-4f);
  EXPECT_FLOAT_EQ(r.Vol12V2, 8.25f);
  EXPECT_NEAR(r.Vol12V3, 16.4838867f, 1e-4f);
  // Raw byte less the channel's offset, gain 1: 0x11-1, 0x13-2, 0x16-3, 0x19-4, 0x1D-5, 0x22-6.
  const std::vector<std::pair<CurrentRail, float>> currents{
      {CurrentRail::C5V, 16.0f},   {CurrentRail::C33V, 17.0f},  {CurrentRail::C12V1, 19.0f},
      {CurrentRail::C12V2, 21.0f}, {CurrentRail::C12V3, 24.0f}, {CurrentRail::C12V4, 28.0f}};
  for (const auto& [rail, amps] : currents) {
    EXPECT_EQ(session_.Readings().Current(rail), amps);
    EXPECT_EQ(session_.Readings().CurrentPeak(rail), amps);  // the first value is the peak
  }
  // 5.0015625*16 + 3.3*17 + 12.0043945*19 + 8.25*21 + 16.4838867*24 + 12.0043945*28
  EXPECT_NEAR(r.WattTotal, 1269.1948f, 0.01f);
  EXPECT_NEAR(session_.Readings().WattPeak(), 1269.1948f, 0.01f);
  EXPECT_EQ(r.TempPSU, 41.0f);
  EXPECT_EQ(r.TempT1, 28.0f);
  EXPECT_EQ(r.TempT2, 31.0f);
  EXPECT_EQ(r.TempT3, 35.0f);
  EXPECT_EQ(r.TempT4, 26.0f);

  pause_.Release();
  EXPECT_EQ(PollUntilPause(2), Events{"PollCompleted"});
  pause_.Release();
  EXPECT_EQ(PollUntilPause(3), Events{"PollCompleted"});
  EXPECT_EQ(judged_, 3);
}

TEST_F(MonitorSessionTest, AnAlarmStartsPastItsThresholdAndEndsOnIt) {
  const auto worker = Start();
  // 41 °C on a threshold of 41 is no alarm; 26 °C on T4's 25.5 is, from the first poll. The
  // power stays below its limit (1269 W of 1300).
  session_.Alarms().Watt = 1300.0f;
  session_.Alarms().TempPSU = {41.0f, true};
  session_.Alarms().TempT4 = {25.5f, true};
  PollUntilPause(1);
  AlarmFlags t4Only{};
  t4Only[kTempT4Row] = true;
  EXPECT_EQ(told_.polls.back().started, t4Only);
  EXPECT_EQ(session_.Flags(), t4Only);

  session_.Alarms().TempPSU = {40.0f, true};
  pause_.Release();
  PollUntilPause(2);
  AlarmFlags psuOnly{};
  psuOnly[kTempPSURow] = true;
  EXPECT_EQ(told_.polls.back().started, psuOnly);
  EXPECT_EQ(told_.polls.back().ended, AlarmFlags{});

  pause_.Release();  // still above: neither starts nor ends again
  PollUntilPause(3);
  EXPECT_EQ(told_.polls.back().started, AlarmFlags{});
  EXPECT_EQ(told_.polls.back().ended, AlarmFlags{});

  session_.Alarms().TempPSU = {41.0f, true};
  session_.Alarms().TempT4.Enable = false;
  pause_.Release();
  PollUntilPause(4);
  AlarmFlags both{};
  both[kTempPSURow] = true;
  both[kTempT4Row] = true;
  EXPECT_EQ(told_.polls.back().ended, both);
  EXPECT_EQ(session_.Flags(), AlarmFlags{});
}

TEST_F(MonitorSessionTest, PeaksKeepTheHighestUntilClearedThenTakeTheNextPoll) {
  const auto worker = Start();
  PollUntilPause(1);
  device::ReadingSet higher;
  higher.Cur12V4 = 40.0f;
  session_.CurrentsReady(higher);  // as a poll with a higher current would
  session_.WattReady(device::ReadingSet{});
  pause_.Release();
  PollUntilPause(2);
  EXPECT_EQ(session_.Readings().CurrentPeak(CurrentRail::C12V4), 40.0f);
  EXPECT_EQ(session_.Readings().Current(CurrentRail::C12V4), 28.0f);

  session_.Readings().ClearPeaks();
  pause_.Release();
  PollUntilPause(3);
  EXPECT_EQ(session_.Readings().CurrentPeak(CurrentRail::C12V4), 28.0f);
  EXPECT_NEAR(session_.Readings().WattPeak(), 1269.1948f, 0.01f);
}

TEST_F(MonitorSessionTest, AWorkerEndingAndTheConnectionComingBackAreTold) {
  session_.SetConnected(true);
  auto worker = Start();
  EXPECT_EQ(PollUntilPause(1), (Events{"Connected", "PowerRatingReady 550", "PollCompleted"}));

  // Gone before anyone noticed: the poll reads nothing, its stale figures stay.
  bus_.SetMonitorPresent(false);
  pause_.Release();
  EXPECT_EQ(PollUntilPause(2), Events{"PollCompleted"});
  const PollNews& stale = told_.polls.back();
  EXPECT_FALSE(stale.voltages || stale.currents || stale.fans || stale.temperatures);
  EXPECT_TRUE(stale.watt);
  EXPECT_EQ(session_.Readings().Current(CurrentRail::C12V4), 28.0f);

  // The owner hears of the removal and ends the worker.
  session_.SetConnected(false);
  session_.SetConnected(false);  // no change: nothing told
  worker->Terminate();
  pause_.Release();
  ASSERT_TRUE(loop_.RunUntil(
      [&] { return !told_.events.empty() && told_.events.back() == "WorkerEnded"; }, 10s))
      << "the ending worker's ConnectionRemoved never arrived";
  EXPECT_EQ(told_.Take(), (Events{"NotConnected", "WorkerEnded"}));

  bus_.SetMonitorPresent(true);
  session_.SetConnected(true);
  worker = Start();
  ASSERT_TRUE(loop_.RunUntil(
      [&] { return !told_.events.empty() && told_.events.back() == "PollCompleted"; }, 10s))
      << "no poll of the new worker arrived";
  EXPECT_EQ(told_.Take(), (Events{"Connected", "PowerRatingReady 550", "PollCompleted"}));
  EXPECT_TRUE(told_.polls.back().complete);
}

class SensorTempsFail : public MonitorSessionTest {
 protected:
  static sim::Scenario Scenario() {
    sim::Scenario scenario = FixedPsu();
    scenario.monitor.replies[0x04] = sim::ReplyOverride{sim::ReplyOverride::Kind::Short, {}};
    return scenario;
  }
  SensorTempsFail() : MonitorSessionTest(Scenario()) {}
};

TEST_F(SensorTempsFail, APollWithoutEveryGroupIsToldButJudgesNothing) {
  const auto worker = Start();
  session_.Alarms().TempPSU = {1.0f, true};
  EXPECT_EQ(PollUntilPause(1), (Events{"PowerRatingReady 550", "PollCompleted"}));
  const PollNews& news = told_.polls.back();
  EXPECT_TRUE(news.voltages && news.currents && news.watt && news.fans);
  EXPECT_FALSE(news.temperatures);
  EXPECT_FALSE(news.complete);
  EXPECT_EQ(judged_, 0);
  EXPECT_EQ(session_.Flags(), AlarmFlags{});
  EXPECT_EQ(session_.Values().TempPSU, 0.0f);
}

TEST(MonitorSessionObservers, ARemovedObserverHearsNothingMore) {
  MonitorSession session{AlarmJudge{}};
  Told first;
  Told second;
  session.AddObserver(first);
  session.AddObserver(second);
  session.PollEnd();
  session.RemoveObserver(first);
  session.PollEnd();
  EXPECT_EQ(first.events, Events{"PollCompleted"});
  EXPECT_EQ(second.events, (Events{"PollCompleted", "PollCompleted"}));
}

// The values the configuration page edits live in the session, apart from the stored texts:
// before any page shows them every rail is off (a trim then sets nothing toward 0 V), and what
// is written is what every reader gets back, each member its own.
TEST(MonitorSessionEditedValues, StartEmptyWithEveryRailOffAndReadBackWhatWasWritten) {
  MonitorSession session{AlarmJudge{}};
  const MonitorSession& reader = session;
  EXPECT_EQ(reader.FanCurve().volts, 0.0f);
  EXPECT_EQ(reader.FanCurve().celsius, 0.0f);
  EXPECT_EQ(reader.FanCurve().sensor, 0);
  EXPECT_EQ(reader.Trims().targets, (std::array<float, 3>{0.0f, 0.0f, 0.0f}));
  EXPECT_EQ(reader.Trims().enabled, (std::array<bool, 3>{false, false, false}));

  session.FanCurve() = {7.5f, 45.0f, 3};
  session.Trims() = {{12.1f, 5.05f, 3.35f}, {true, false, true}};
  EXPECT_EQ(reader.FanCurve().volts, 7.5f);
  EXPECT_EQ(reader.FanCurve().celsius, 45.0f);
  EXPECT_EQ(reader.FanCurve().sensor, 3);
  EXPECT_EQ(reader.Trims().targets, (std::array<float, 3>{12.1f, 5.05f, 3.35f}));
  EXPECT_EQ(reader.Trims().enabled, (std::array<bool, 3>{true, false, true}));
  // Only a finished drag or OK turns them into stored texts.
  EXPECT_EQ(session.Voltages().Target5V, "");
  EXPECT_EQ(session.Fans().PSUFanPresets[settings::kPsuManual].Vol, "");

  // And back: a rail switched off again and a sensor back to the PSU's own.
  session.Trims().enabled[2] = false;
  session.FanCurve().sensor = 0;
  EXPECT_EQ(reader.Trims().enabled, (std::array<bool, 3>{true, false, false}));
  EXPECT_EQ(reader.FanCurve().sensor, 0);
  EXPECT_EQ(reader.FanCurve().volts, 7.5f);
}

}  // namespace
}  // namespace session
