#include "device/monitor_connection.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "device/recording_sleeper.h"
#include "device/startup_probe.h"
#include "sim/simulated_bus.h"

#include "support/temp_folder.h"

namespace device {
namespace {

// Counts the handles of the bus it wraps that are still open.
class CountingBus : public platform::HidBus {
 public:
  explicit CountingBus(platform::HidBus& inner) : inner_(inner) {}
  int open = 0;

  std::vector<platform::HidInterfaceInfo> Interfaces() override { return inner_.Interfaces(); }
  std::vector<std::optional<std::string>> PresentDeviceIds() override {
    return inner_.PresentDeviceIds();
  }
  std::vector<std::thread::id> openedOn;
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override {
    openedOn.push_back(std::this_thread::get_id());
    auto handle = inner_.Open(path, access);
    if (!handle) return nullptr;
    return std::make_unique<Counted>(std::move(handle), open);
  }
  void SetChangeListener(std::function<void()>) override {}

 private:
  struct Counted : platform::HidHandle {
    Counted(std::unique_ptr<platform::HidHandle> handle, int& openCount)
        : inner(std::move(handle)), open(openCount) {
      ++open;
    }
    ~Counted() override { --open; }
    std::size_t Write(std::span<const std::uint8_t> r) override { return inner->Write(r); }
    std::size_t Read(std::span<std::uint8_t> b) override { return inner->Read(b); }
    std::size_t ReadWaiting(std::span<std::uint8_t> b) override { return inner->ReadWaiting(b); }
    std::optional<platform::HidCapabilities> Capabilities() override {
      return inner->Capabilities();
    }
    std::unique_ptr<platform::HidHandle> inner;
    int& open;
  };
  platform::HidBus& inner_;
};

struct FakeWorker : WorkerHandle {
  explicit FakeWorker(int& terminationCount) : terminations(terminationCount) {}
  void Terminate() override { ++terminations; }
  bool Place(const DeviceCommand& command) override {
    placed.push_back(command.code);
    return true;
  }
  int& terminations;
  std::vector<int> placed;
};

sim::Scenario WithReply(std::uint8_t code, sim::ReplyOverride reply) {
  sim::Scenario scenario;
  scenario.monitor.replies[code] = reply;
  return scenario;
}

struct ConnectionRig {
  explicit ConnectionRig(sim::Scenario scenario = {}) : sim(std::move(scenario)), bus(sim) {}

  // Makes the access mutex impossible to open on either system: its lock files' folder goes
  // (Linux), and its name takes a level below its namespace, which Windows refuses.
  void BreakAccessMutex() {
    std::filesystem::remove_all(lockDir.Path());
    mutexName = "Global\\no\\such\\level";
  }
  // Whether an error names the broken place: the folder on Linux, the name on Windows.
  bool NamesBrokenPlace(const std::string& error) const {
    return error.find(lockDir.Path().string()) != std::string::npos ||
           error.find(mutexName) != std::string::npos;
  }

  testing_support::TempFolder lockDir;
  std::string mutexName = "Global\\Test";
  sim::SimulatedBus sim;
  CountingBus bus;
  RecordingSleeper sleeper;
  DeviceReady ready;
  int workersStarted = 0;
  int terminations = 0;
  std::uint64_t lastGeneration = 0;
  platform::NamedMutex* workerMutex = nullptr;
  std::thread::id workerStartedOn;
  MonitorConnection connection{
      bus, sleeper, ready, [this] { return platform::NamedMutex::Open(mutexName, lockDir.Path()); },
      [this](platform::NamedMutex& mutex, std::uint64_t generation) {
        ++workersStarted;
        workerStartedOn = std::this_thread::get_id();
        lastGeneration = generation;
        workerMutex = &mutex;
        return std::make_unique<FakeWorker>(terminations);
      }};
};

TEST(StartupProbe, ReadsReferenceCalibrationAndRatingUnderTheAccessMutex) {
  testing_support::TempFolder dir;
  sim::SimulatedBus bus;
  RecordingSleeper sleeper;
  auto mutex = platform::NamedMutex::Open("Global\\Test", dir.Path()).mutex;
  std::vector<std::uint64_t> reportsAtLockEvents;
  mutex->SetObserver(
      [&](platform::NamedMutex::Event) { reportsAtLockEvents.push_back(bus.MonitorReports()); });
  auto read = bus.Open("sim:hid/0", platform::HidAccess::ReadWrite);
  auto write = bus.Open("sim:hid/0", platform::HidAccess::ReadWrite);

  const ProbeResult result = StartupProbe(write.get(), read.get(), *mutex, sleeper);
  EXPECT_TRUE(result.succeeded);
  EXPECT_EQ(result.powerRating, 550);
  // Four exchanges (reference, offsets, gains, rating), all between taking and releasing.
  EXPECT_EQ(reportsAtLockEvents, (std::vector<std::uint64_t>{0, 8}));
  EXPECT_EQ(StartupProbe(nullptr, read.get(), *mutex, sleeper).succeeded, false);
}

TEST(StartupProbe, StopsAtAFailedReferenceAndTakesUnknownCodesForZero) {
  testing_support::TempFolder dir;
  RecordingSleeper sleeper;
  auto mutex = platform::NamedMutex::Open("Global\\Test", dir.Path()).mutex;
  const auto probe = [&](sim::SimulatedBus& bus) {
    auto read = bus.Open("sim:hid/0", platform::HidAccess::ReadWrite);
    auto write = bus.Open("sim:hid/0", platform::HidAccess::ReadWrite);
    return StartupProbe(write.get(), read.get(), *mutex, sleeper);
  };
  sim::SimulatedBus silent(WithReply(0x00, {sim::ReplyOverride::Kind::Silent, {}}));
  EXPECT_FALSE(probe(silent).succeeded);
  EXPECT_EQ(silent.MonitorReports(), 2u);  // nothing after the reference

  sim::SimulatedBus unknown(WithReply(0x11, {sim::ReplyOverride::Kind::Bytes, {0x50}}));
  const ProbeResult result = probe(unknown);
  EXPECT_TRUE(result.succeeded);
  EXPECT_EQ(result.powerRating, 0);

  sim::SimulatedBus shortRating(WithReply(0x11, {sim::ReplyOverride::Kind::Short, {}}));
  EXPECT_FALSE(probe(shortRating).succeeded);
}

TEST(MonitorConnection, ConnectsProbesAndStartsAWorkerWithANewGeneration) {
  ConnectionRig rig;
  rig.sim.SetGaugePresent(false);
  EXPECT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  EXPECT_EQ(rig.connection.PowerRating(), 550);
  EXPECT_EQ(rig.workersStarted, 1);
  EXPECT_EQ(rig.lastGeneration, rig.ready.Generation());
  EXPECT_EQ(rig.workerMutex, rig.connection.AccessMutex());
  EXPECT_EQ(rig.bus.open, 0);  // the worker opens its own handles
  EXPECT_TRUE(rig.connection.HasWorker());
}

TEST(MonitorConnection, TheProbeOpensItsHandlesOnlyOnceItHoldsTheLock) {
  // Every open handle gets a copy of every reply: one opened before the wait would fill up
  // with the replies of whoever holds the lock.
  ConnectionRig rig;
  std::vector<int> openAtLockEvents;
  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  rig.connection.AccessMutex()->SetObserver(
      [&](platform::NamedMutex::Event) { openAtLockEvents.push_back(rig.bus.open); });
  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  // None open when the lock is taken, and none left when it is released.
  EXPECT_EQ(openAtLockEvents, (std::vector<int>{0, 0}));
}

TEST(MonitorConnection, FailuresStartNoWorkerAndLeaveNoHandleOpen) {
  ConnectionRig absent;
  absent.sim.SetMonitorPresent(false);
  EXPECT_EQ(absent.connection.ConnectDevice(), ConnectResult::NotOpened);
  EXPECT_EQ(absent.connection.AccessMutex(), nullptr);

  ConnectionRig silent(WithReply(0x00, {sim::ReplyOverride::Kind::Silent, {}}));
  EXPECT_EQ(silent.connection.ConnectDevice(), ConnectResult::ProbeFailed);
  EXPECT_EQ(silent.bus.open, 0);
  EXPECT_EQ(silent.workersStarted, 0);
  EXPECT_FALSE(silent.connection.HasWorker());

  ConnectionRig noLockDir;
  noLockDir.BreakAccessMutex();
  EXPECT_EQ(noLockDir.connection.ConnectDevice(), ConnectResult::NoAccessMutex);
  EXPECT_TRUE(noLockDir.NamesBrokenPlace(noLockDir.connection.AccessMutexError()))
      << noLockDir.connection.AccessMutexError();
  EXPECT_EQ(noLockDir.bus.open, 0);
}

TEST(MonitorConnection, AProbeAheadRunsOnItsOwnThreadAndConnectDeviceFinishesIt) {
  ConnectionRig rig;
  rig.connection.ProbeAhead();
  rig.connection.ProbeAhead();  // one under way already: nothing more
  EXPECT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  EXPECT_EQ(rig.connection.PowerRating(), 550);
  EXPECT_EQ(rig.workersStarted, 1);
  EXPECT_EQ(rig.workerStartedOn, std::this_thread::get_id()) << "the worker starts here";
  ASSERT_FALSE(rig.bus.openedOn.empty());
  for (const std::thread::id on : rig.bus.openedOn) EXPECT_NE(on, std::this_thread::get_id());
  EXPECT_EQ(rig.bus.open, 0);
  // With a worker there is nothing to probe ahead: the next connection probes as usual.
  rig.connection.ProbeAhead();
  rig.bus.openedOn.clear();
  EXPECT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  EXPECT_EQ(rig.terminations, 1);
  EXPECT_EQ(rig.workersStarted, 2);
  ASSERT_FALSE(rig.bus.openedOn.empty());
  for (const std::thread::id on : rig.bus.openedOn) EXPECT_EQ(on, std::this_thread::get_id());

  // Each failure comes out of ConnectDevice as it would without the probe ahead.
  ConnectionRig absent;
  absent.sim.SetMonitorPresent(false);
  absent.connection.ProbeAhead();
  EXPECT_EQ(absent.connection.ConnectDevice(), ConnectResult::NotOpened);
  EXPECT_EQ(absent.connection.PowerRating(), 0);
  ConnectionRig silent(WithReply(0x00, {sim::ReplyOverride::Kind::Silent, {}}));
  silent.connection.ProbeAhead();
  EXPECT_EQ(silent.connection.ConnectDevice(), ConnectResult::ProbeFailed);
  EXPECT_EQ(silent.workersStarted, 0);
  ConnectionRig noLockDir;
  noLockDir.BreakAccessMutex();
  noLockDir.connection.ProbeAhead();
  EXPECT_EQ(noLockDir.connection.ConnectDevice(), ConnectResult::NoAccessMutex);
  EXPECT_FALSE(noLockDir.connection.AccessMutexError().empty());

  // A probe ahead nobody took is waited for when the connection ends.
  ConnectionRig forgotten;
  forgotten.connection.ProbeAhead();
}

TEST(MonitorConnection, DisconnectStopsTheWorkerAndClearsReadyOnlyWhenThereIsOne) {
  ConnectionRig rig;
  rig.connection.DisconnectDevice();
  EXPECT_TRUE(rig.ready.IsSet());

  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  rig.connection.DisconnectDevice();
  EXPECT_EQ(rig.terminations, 1);
  EXPECT_FALSE(rig.ready.IsSet());
  EXPECT_FALSE(rig.connection.HasWorker());

  // Connecting again while a worker is still remembered stops that one first.
  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  EXPECT_EQ(rig.terminations, 2);
  EXPECT_EQ(rig.workersStarted, 3);
}

TEST(MonitorConnection, RestartReplacesTheWorkerAndSetsReadyButNeedsAWorker) {
  ConnectionRig rig;
  rig.ready.Clear();
  EXPECT_FALSE(rig.connection.RestartWorker());
  EXPECT_FALSE(rig.ready.IsSet());

  ASSERT_EQ(rig.connection.ConnectDevice(), ConnectResult::Connected);
  const std::uint64_t first = rig.lastGeneration;
  EXPECT_TRUE(rig.connection.RestartWorker());
  EXPECT_EQ(rig.terminations, 1);
  EXPECT_EQ(rig.workersStarted, 2);
  EXPECT_GT(rig.lastGeneration, first);
  EXPECT_TRUE(rig.ready.IsSet());
  // The replaced worker can no longer clear its successor's flag.
  EXPECT_FALSE(rig.ready.ClearFor(first));
  EXPECT_TRUE(rig.ready.IsSet());
}

}  // namespace
}  // namespace device
