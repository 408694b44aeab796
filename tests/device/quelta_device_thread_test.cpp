#include "device/quelta_device_thread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include <unistd.h>

#include "device/device_identity.h"
#include "device/recording_sleeper.h"
#include "device/worker_pool.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/headless_event_loop.h"
#include "sim/scenario.h"
#include "sim/simulated_bus.h"
#include "support/refusing_hid_bus.h"
#include "support/worker_test_support.h"

namespace device {
namespace {

using namespace std::chrono_literals;
using testing::HandoverLog;
using testing::SteppedPause;
using Events = std::vector<std::string>;

const Events kFullPoll{"VoltagesReady", "CurrentsReady", "WattReady",
                       "FansReady",     "TempsReady",    "CycleComplete"};

class WorkerTest : public ::testing::Test {
 protected:
  explicit WorkerTest(sim::Scenario scenario = {}) : bus_(std::move(scenario)) {
    lockDir_ = std::filesystem::temp_directory_path() /
               ("quelta-worker-test-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(lockDir_);
    mutex_ = platform::NamedMutex::Open(kAccessMutexName, lockDir_).mutex;
  }
  ~WorkerTest() override {
    pool_.StopAll();
    std::filesystem::remove_all(lockDir_);
  }

  WorkerContext Context(CyclePause& pause) {
    return WorkerContext{bus_,     *mutex_, ready_, ready_.BeginGeneration(),
                         sleeper_, pause,   loop_,  handovers_};
  }
  std::unique_ptr<WorkerHandle> Start() { return pool_.Start(Context(pause_)); }

  // Runs what the worker has posted once it has reached its n-th pause.
  Events CycleEvents(std::size_t pause) {
    EXPECT_TRUE(pause_.AwaitPause(pause)) << "the worker never reached pause " << pause;
    loop_.RunPending();
    return log_.Take();
  }

  // Runs posted tasks until `what` has been handed over, in real time up to a limit.
  bool AwaitEvent(const std::string& what) {
    return loop_.RunUntil(
        [&] {
          return std::find(log_.events.begin(), log_.events.end(), what) != log_.events.end();
        },
        10s);
  }

  sim::SimulatedBus bus_;
  std::filesystem::path lockDir_;
  std::unique_ptr<platform::NamedMutex> mutex_;
  DeviceReady ready_;
  RecordingSleeper sleeper_;
  SteppedPause pause_;
  ui::HeadlessEventLoop loop_;
  HandoverLog log_;
  std::shared_ptr<WorkerHandovers> handovers_ = log_.Make();
  WorkerPool pool_;
};

// For the one wait that has no event to wait on: a worker that ends without a word.
template <typename Predicate>
bool Eventually(Predicate done, std::chrono::milliseconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

sim::Scenario WithReply(std::uint8_t code, sim::ReplyOverride::Kind kind) {
  sim::Scenario scenario;
  scenario.monitor.replies[code] = sim::ReplyOverride{kind, {}};
  return scenario;
}

TEST_F(WorkerTest, HandsOverTheRatingOnceThenEveryGroupOfEachPollInOrder) {
  const auto worker = Start();
  Events first{"PowerRatingReady"};
  first.insert(first.end(), kFullPoll.begin(), kFullPoll.end());
  EXPECT_EQ(CycleEvents(1), first);
  EXPECT_EQ(log_.ratings, std::vector<std::int32_t>{550});
  EXPECT_TRUE(ready_.IsSet());

  pause_.Release();
  EXPECT_EQ(CycleEvents(2), kFullPoll);
  EXPECT_EQ(pause_.Durations().front(), 3000ms);
  // Every report was followed by its 2 ms pause: start-up 4 exchanges, each poll 6.
  EXPECT_EQ(sleeper_.Count(), 2u * (4 + 6 + 6));
  ASSERT_EQ(log_.wattTotals.size(), 2u);
  EXPECT_GT(log_.wattTotals[0], 0.0f);
}

class SensorTempsAlwaysFail : public WorkerTest {
 protected:
  SensorTempsAlwaysFail() : WorkerTest(WithReply(0x04, sim::ReplyOverride::Kind::Short)) {}
};

TEST_F(SensorTempsAlwaysFail, NeverCompletesACycleButHandsOverTheWattEveryPoll) {
  const auto worker = Start();
  EXPECT_EQ(CycleEvents(1), (Events{"PowerRatingReady", "VoltagesReady", "CurrentsReady",
                                    "WattReady", "FansReady"}));
  for (std::size_t cycle = 2; cycle <= 4; ++cycle) {
    pause_.Release();
    EXPECT_EQ(CycleEvents(cycle),
              (Events{"VoltagesReady", "CurrentsReady", "WattReady", "FansReady"}));
  }
}

TEST_F(WorkerTest, MarksNeverClearSoAFailingDeviceStillCompletesEveryCycle) {
  const auto worker = Start();
  CycleEvents(1);
  // The device vanishes but nobody has disconnected yet: every group fails.
  bus_.SetMonitorPresent(false);
  pause_.Release();
  EXPECT_EQ(CycleEvents(2), (Events{"WattReady", "CycleComplete"}));
  bus_.SetMonitorPresent(true);
  pause_.Release();
  EXPECT_EQ(CycleEvents(3), kFullPoll);
}

TEST_F(WorkerTest, KeepsOneCommandPerKindAndRunsThemInPlacementOrderOnePerCycle) {
  const auto worker = Start();
  CycleEvents(1);
  const sim::FanCurve systemBefore = bus_.Psu().SystemFanCurve();
  DeviceCommand led{.code = DeviceCommand::Led, .LedOn = true};
  DeviceCommand trim{.code = DeviceCommand::Trim};
  trim.Target12V = 12.3f;
  trim.Enable12V = true;
  DeviceCommand psuCurve{.code = DeviceCommand::PsuFanCurve};
  psuCurve.FanStartVolts = 7.0f;
  psuCurve.FanTemperature = 40;
  DeviceCommand systemCurve{.code = DeviceCommand::SystemFanCurve};
  systemCurve.FanStartVolts = 6.0f;
  systemCurve.FanTemperature = 50;
  systemCurve.SensorCode = 0xA4;
  EXPECT_TRUE(worker->Place(led));
  EXPECT_TRUE(worker->Place(psuCurve));
  EXPECT_TRUE(worker->Place(trim));
  EXPECT_TRUE(worker->Place(systemCurve));
  led.LedOn = false;
  EXPECT_TRUE(worker->Place(led));  // replaces the LED-on, and is placed after the trim
  psuCurve.FanTemperature = 45;
  EXPECT_TRUE(worker->Place(psuCurve));  // replaces the 40-degree curve

  // Cycle 2: the trim, which steps the 12V output up (it starts below 12.3 V).
  std::uint64_t before = bus_.MonitorReports();
  pause_.Release();
  EXPECT_EQ(CycleEvents(2), Events{});  // a command cycle hands nothing over
  EXPECT_GT(bus_.Psu().TrimSteps(sim::SimulatedPsu::Output::V12), 0);
  EXPECT_GT(bus_.MonitorReports() - before, 2u);
  EXPECT_TRUE(bus_.Psu().LedOn());
  EXPECT_EQ(bus_.Psu().SystemFanCurve().sensorCode, systemBefore.sensorCode);
  // Cycle 3: the system fan curve.
  before = bus_.MonitorReports();
  pause_.Release();
  EXPECT_EQ(CycleEvents(3), Events{});
  EXPECT_EQ(bus_.MonitorReports() - before, 2u);  // one write, one read
  EXPECT_EQ(bus_.Psu().SystemFanCurve().sensorCode, 0xA4);
  EXPECT_EQ(bus_.Psu().SystemFanCurve().risingTemperature, 50);
  EXPECT_TRUE(bus_.Psu().LedOn());
  // Cycle 4: the LED, switched off.
  pause_.Release();
  EXPECT_EQ(CycleEvents(4), Events{});
  EXPECT_FALSE(bus_.Psu().LedOn());
  EXPECT_NE(bus_.Psu().PsuFanCurve().risingTemperature, 45);
  // Cycle 5: the PSU fan curve as last placed; the 40-degree one never ran.
  pause_.Release();
  EXPECT_EQ(CycleEvents(5), Events{});
  EXPECT_EQ(bus_.Psu().PsuFanCurve().risingTemperature, 45);
  EXPECT_EQ(bus_.Psu().PsuFanCurve().sensorCode, 0xA0);
  // Nothing is left: polling resumes.
  pause_.Release();
  EXPECT_EQ(CycleEvents(6), kFullPoll);
}

TEST_F(WorkerTest, ATrimTowardAnImpossibleTargetIsRefusedAndReportedRailByRail) {
  const auto worker = Start();
  CycleEvents(1);
  // 12 V toward 0 V (an empty target text), 5 V toward a sound 5.05 V, 3.3 V off.
  DeviceCommand trim{.code = DeviceCommand::Trim};
  trim.Target12V = 0.0f;
  trim.Enable12V = true;
  trim.Target5V = 5.05f;
  trim.Enable5V = true;
  trim.Target33V = 0.0f;
  trim.Enable33V = false;
  worker->Place(trim);
  pause_.Release();
  EXPECT_EQ(CycleEvents(2),
            Events{"TrimRefused: 12V target 0.000 V is not within 10% of 12.0 V: not trimmed"});
  EXPECT_EQ(bus_.Psu().TrimSteps(sim::SimulatedPsu::Output::V12), 0);
  EXPECT_GT(bus_.Psu().TrimSteps(sim::SimulatedPsu::Output::V5), 0);
  EXPECT_EQ(bus_.Psu().TrimSteps(sim::SimulatedPsu::Output::V33), 0);
}

// A command whose write does not reach the PSU, of every kind, is handed over with its cause
// (the page that placed it says so); so is one taken while the PSU cannot be opened, and a
// trim whose feedback reading is lost after a step. Polling goes on afterwards.
TEST_F(WorkerTest, ACommandThatDoesNotReachThePsuIsHandedOverWithItsCause) {
  RefusingHidBus refusing(bus_);
  const auto worker = pool_.Start(WorkerContext{refusing, *mutex_, ready_, ready_.BeginGeneration(),
                                                sleeper_, pause_, loop_, handovers_});
  CycleEvents(1);
  refusing.Refuse(0x0B);
  refusing.Refuse(0x09);
  refusing.Refuse(0x0A);
  refusing.Refuse(0x22);  // the 12 V feedback
  DeviceCommand psuCurve{.code = DeviceCommand::PsuFanCurve};
  psuCurve.FanStartVolts = 7.0f;
  psuCurve.FanTemperature = 40;
  DeviceCommand systemCurve{.code = DeviceCommand::SystemFanCurve};
  systemCurve.FanStartVolts = 6.0f;
  systemCurve.FanTemperature = 50;
  systemCurve.SensorCode = 0xA4;
  DeviceCommand trim{.code = DeviceCommand::Trim};
  trim.Target12V = 12.3f;
  trim.Enable12V = true;
  const sim::FanCurve psuBefore = bus_.Psu().PsuFanCurve();
  const sim::FanCurve systemBefore = bus_.Psu().SystemFanCurve();
  ASSERT_TRUE(worker->Place(DeviceCommand{.code = DeviceCommand::Led, .LedOn = false}));
  ASSERT_TRUE(worker->Place(psuCurve));
  ASSERT_TRUE(worker->Place(systemCurve));
  ASSERT_TRUE(worker->Place(trim));
  const std::vector<std::string> expected{
      "CommandFailed 5: LED not switched: the command did not reach the PSU",
      "CommandFailed 6: PSU fan curve not set: the command did not reach the PSU",
      "CommandFailed 7: System fan curve not set: the command did not reach the PSU",
      "CommandFailed 1: 12V: the voltages could not be read after step 1: trim stopped"};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    pause_.Release();
    EXPECT_EQ(CycleEvents(2 + i), Events{expected[i]});
  }
  EXPECT_TRUE(bus_.Psu().LedOn());
  EXPECT_EQ(bus_.Psu().PsuFanCurve().risingTemperature, psuBefore.risingTemperature);
  EXPECT_EQ(bus_.Psu().SystemFanCurve().sensorCode, systemBefore.sensorCode);
  EXPECT_EQ(bus_.Psu().TrimSteps(sim::SimulatedPsu::Output::V12), 1);  // one step, then no more

  // Delivered: nothing is said.
  refusing.Accept(0x0B);
  refusing.Accept(0x22);
  ASSERT_TRUE(worker->Place(DeviceCommand{.code = DeviceCommand::Led, .LedOn = false}));
  pause_.Release();
  EXPECT_EQ(CycleEvents(6), Events{});
  EXPECT_FALSE(bus_.Psu().LedOn());

  // Gone between the placement and the cycle that takes it.
  ASSERT_TRUE(worker->Place(psuCurve));
  bus_.SetMonitorPresent(false);
  pause_.Release();
  EXPECT_EQ(CycleEvents(7),
            Events{"CommandFailed 6: PSU fan curve not set: the PSU could not be opened"});
}

TEST_F(WorkerTest, IgnoresCommandsWhileTheDeviceIsNotReady) {
  const auto worker = Start();
  CycleEvents(1);
  ready_.Clear();
  worker->Place(DeviceCommand{.code = DeviceCommand::Led, .LedOn = false});
  ready_.Set();
  pause_.Release();
  EXPECT_EQ(CycleEvents(2), kFullPoll);
  EXPECT_TRUE(bus_.Psu().LedOn());
}

TEST_F(WorkerTest, WaitsWithoutExchangesWhileNotReadyAndResumesWhenSet) {
  const auto worker = Start();
  CycleEvents(1);
  ready_.Clear();
  const std::uint64_t before = bus_.MonitorReports();
  pause_.Release();
  std::this_thread::sleep_for(50ms);  // give a spinning worker the chance to show itself
  EXPECT_EQ(bus_.MonitorReports(), before);
  EXPECT_EQ(pause_.Started(), 1u);
  ready_.Set();
  EXPECT_EQ(CycleEvents(2), kFullPoll);
}

TEST_F(WorkerTest, TerminationTakesEffectAfterThePauseAndReportsTheRemoval) {
  const auto worker = Start();
  CycleEvents(1);
  worker->Terminate();
  loop_.RunPending();
  EXPECT_TRUE(log_.events.empty());
  pause_.Release();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));
  EXPECT_EQ(log_.Take(), Events{"ConnectionRemoved"});
  EXPECT_EQ(pause_.Started(), 1u);  // no further cycle
  EXPECT_FALSE(ready_.IsSet());
}

TEST_F(WorkerTest, AnEndingReplacedWorkerNeverClearsItsSuccessorsReadyState) {
  const auto old = Start();
  CycleEvents(1);
  old->Terminate();
  // A restart: a new generation whose worker is ready.
  SteppedPause successorPause;
  const auto successor = pool_.Start(Context(successorPause));
  ASSERT_TRUE(successorPause.AwaitPause(1));
  pause_.Release();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));
  EXPECT_TRUE(ready_.IsSet());
  // The ended one is joined and dropped, the successor runs on.
  EXPECT_TRUE(Eventually([&] {
    pool_.ReapFinished();
    return pool_.Count() == 1;
  }));
  pool_.StopAll();  // before the successor's pause goes away
}

TEST_F(WorkerTest, StoppingTheProgramJoinsEveryWorkerPromptlyWithoutRemovalMessage) {
  RealCyclePause realPause;
  const auto first = pool_.Start(Context(realPause));
  ASSERT_TRUE(AwaitEvent("CycleComplete"));
  first->Terminate();  // replaced, still in its 3 s pause
  const auto second = pool_.Start(Context(realPause));
  ASSERT_TRUE(loop_.RunUntil([&] { return log_.ratings.size() == 2; }, 10s));
  std::this_thread::sleep_for(20ms);  // both are now in their pause

  const auto started = std::chrono::steady_clock::now();
  pool_.StopAll();
  EXPECT_LT(std::chrono::steady_clock::now() - started, 100ms);
  loop_.RunPending();
  EXPECT_EQ(std::count(log_.events.begin(), log_.events.end(), "ConnectionRemoved"), 0);
}

TEST_F(WorkerTest, HandOversPostedAfterTheOwnerIsGoneAreSkipped) {
  const auto worker = Start();
  ASSERT_TRUE(pause_.AwaitPause(1));
  handovers_.reset();  // the window went away with hand-overs still queued
  EXPECT_GT(loop_.RunPending(), 0u);
  EXPECT_TRUE(log_.events.empty());
}

TEST_F(WorkerTest, GuardedHandOversAreDroppedWhenTheDeviceIsNoLongerReadyOnArrival) {
  const auto worker = Start();
  ASSERT_TRUE(pause_.AwaitPause(1));
  ready_.Clear();  // a removal was noticed before the UI thread got to the queue
  loop_.RunPending();
  EXPECT_EQ(log_.Take(), (Events{"PowerRatingReady", "WattReady"}));
}

class ReferenceFails : public WorkerTest {
 protected:
  ReferenceFails() : WorkerTest(WithReply(0x00, sim::ReplyOverride::Kind::Short)) {}
};

TEST_F(ReferenceFails, AWorkerWhoseReferenceReadFailsEndsAsARemovalDoes) {
  const auto worker = Start();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));
  EXPECT_EQ(log_.Take(), Events{"ConnectionRemoved"});
  EXPECT_FALSE(ready_.IsSet());
  EXPECT_EQ(pause_.Started(), 0u);
  EXPECT_EQ(bus_.MonitorReports(), 2u);  // the reference query and its reply, nothing more
  // The access mutex was released.
  EXPECT_TRUE(mutex_->TryLock());
  mutex_->Unlock();
}

TEST_F(WorkerTest, AWorkerThatCannotOpenTheDeviceEndsAsARemovalDoes) {
  bus_.SetMonitorPresent(false);
  const auto worker = Start();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));
  EXPECT_EQ(log_.Take(), Events{"ConnectionRemoved"});
  EXPECT_FALSE(ready_.IsSet());
  EXPECT_EQ(pause_.Started(), 0u);
}

// The owner learns which worker could not start, after its removal; a worker that started
// and was then terminated never says so, and one that could not start takes no command.
TEST_F(ReferenceFails, AWorkerThatCouldNotStartSaysSoWithItsGeneration) {
  std::vector<std::uint64_t> failed;
  handovers_->StartFailed = [&](std::uint64_t generation) {
    log_.events.push_back("StartFailed");
    failed.push_back(generation);
  };
  ready_.BeginGeneration();
  ready_.BeginGeneration();  // two workers came before this one
  const auto worker = Start();
  ASSERT_TRUE(AwaitEvent("StartFailed"));
  EXPECT_EQ(log_.Take(), (Events{"ConnectionRemoved", "StartFailed"}));
  EXPECT_EQ(failed, std::vector<std::uint64_t>{3});

  ASSERT_TRUE(Eventually([&] {
    pool_.ReapFinished();
    return pool_.Count() == 0;
  }));
  ready_.Set();
  EXPECT_FALSE(worker->RequestLed(true));  // finished: the command would never run
  worker->Terminate();                     // and a late termination changes nothing
}

TEST_F(WorkerTest, ATerminatedWorkerThatHadStartedDoesNotSayItCouldNotStart) {
  handovers_->StartFailed = [&](std::uint64_t) { log_.events.push_back("StartFailed"); };
  const auto worker = Start();
  CycleEvents(1);
  EXPECT_TRUE(worker->RequestLed(true));
  worker->Terminate();
  pause_.Release();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));
  loop_.RunPending();
  EXPECT_EQ(log_.Take(), Events{"ConnectionRemoved"});
}

class ShortRatingReply : public WorkerTest {
 protected:
  ShortRatingReply() : WorkerTest(WithReply(0x11, sim::ReplyOverride::Kind::Short)) {}
};

TEST_F(ShortRatingReply, HandsOverRatingZeroAndLeavesTheDeviceNotReady) {
  ready_.Clear();
  const auto worker = Start();
  ASSERT_TRUE(AwaitEvent("PowerRatingReady"));
  EXPECT_EQ(log_.ratings, std::vector<std::int32_t>{0});
  EXPECT_FALSE(ready_.IsSet());
}

TEST_F(WorkerTest, WaitsForAnotherHolderOfTheAccessMutexAndStillStopsAtOnce) {
  auto other = platform::NamedMutex::Open(kAccessMutexName, lockDir_).mutex;
  ASSERT_TRUE(other->Lock());
  const auto worker = Start();
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(bus_.MonitorReports(), 0u);
  worker->Terminate();
  ASSERT_TRUE(AwaitEvent("ConnectionRemoved"));  // no exchange ever happened
  EXPECT_EQ(bus_.MonitorReports(), 0u);
  other->Unlock();
}

TEST(PendingCommands, PublishesEachCommandWholeAndTakingEmptiesIt) {
  PendingCommands pending;
  std::atomic<bool> done{false};
  std::thread placer([&] {
    for (int i = 1; i <= 20000; ++i) {
      DeviceCommand command{.code = DeviceCommand::SystemFanCurve};
      command.FanStartVolts = static_cast<float>(i);
      command.FanTemperature = i;
      command.SensorCode = i;
      pending.Place(command);
    }
    done = true;
  });
  int lastSeen = 0;
  while (!done.load()) {
    const DeviceCommand taken = pending.Take();
    if (taken.code == DeviceCommand::Poll) continue;
    ASSERT_EQ(taken.FanTemperature, taken.SensorCode);
    ASSERT_EQ(static_cast<int>(taken.FanStartVolts), taken.FanTemperature);
    ASSERT_GT(taken.FanTemperature, lastSeen);  // never the same command twice
    lastSeen = taken.FanTemperature;
  }
  placer.join();
  pending.Take();
  EXPECT_EQ(pending.Take().code, DeviceCommand::Poll);
}

TEST(PendingCommands, EachKindReplacesOnlyItselfAndTheOrderFollowsPlacement) {
  PendingCommands pending;
  const auto place = [&](DeviceCommand::Code code, std::int32_t tag) {
    DeviceCommand command{.code = code};
    command.FanTemperature = tag;
    pending.Place(command);
  };
  place(DeviceCommand::Trim, 1);
  place(DeviceCommand::Led, 2);
  place(DeviceCommand::PsuFanCurve, 3);
  place(DeviceCommand::SystemFanCurve, 4);
  place(DeviceCommand::Poll, 5);  // places nothing
  place(DeviceCommand::Led, 6);   // replaces 2
  place(DeviceCommand::Trim, 7);  // replaces 1
  std::vector<std::pair<int, std::int32_t>> taken;
  for (DeviceCommand c = pending.Take(); c.code != DeviceCommand::Poll; c = pending.Take())
    taken.emplace_back(c.code, c.FanTemperature);
  EXPECT_EQ(taken, (std::vector<std::pair<int, std::int32_t>>{{6, 3}, {7, 4}, {5, 6}, {1, 7}}));
}

TEST(DeviceReadyWait, WakesOnSetAndOnStopWithoutSpinning) {
  DeviceReady ready;
  ready.Clear();
  std::stop_source stop;
  std::optional<bool> result;
  std::thread waiter([&] { result = ready.WaitUntilSet(stop.get_token()); });
  std::this_thread::sleep_for(10ms);
  ready.Set();
  waiter.join();
  EXPECT_EQ(result, true);

  ready.Clear();
  std::thread stopped([&] { result = ready.WaitUntilSet(stop.get_token()); });
  std::this_thread::sleep_for(10ms);
  stop.request_stop();
  stopped.join();
  EXPECT_EQ(result, false);
}

}  // namespace
}  // namespace device
