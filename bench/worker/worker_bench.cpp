// CPU of one worker cycle on the simulated bus with the pauses off: the two device searches,
// the handles, the six exchanges and the hand-overs, plus running them on the UI loop.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "device/device_identity.h"
#include "device/quelta_device_thread.h"
#include "device/recording_sleeper.h"
#include "device/worker_pool.h"
#include "platform/lock/named_mutex.h"
#include "platform/ui/headless_event_loop.h"
#include "sim/simulated_bus.h"
#include "support/worker_test_support.h"

namespace {

// The report pauses are not taken at all here.
class NoSleeper : public device::Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override {}
};

void BM_WorkerCycle(benchmark::State& state) {
  const auto lockDir = std::filesystem::temp_directory_path() / "quelta-worker-bench";
  std::filesystem::create_directories(lockDir);
  sim::Scenario scenario;
  scenario.monitor.noise = false;
  sim::SimulatedBus bus(scenario);
  auto mutex = platform::NamedMutex::Open(device::kAccessMutexName, lockDir).mutex;
  device::DeviceReady ready;
  NoSleeper sleeper;
  device::testing::SteppedPause pause;
  ui::HeadlessEventLoop loop;
  device::testing::HandoverLog log;
  auto handovers = log.Make();
  device::WorkerPool pool;
  const auto worker = pool.Start(device::WorkerContext{bus, *mutex, ready, ready.BeginGeneration(),
                                                       sleeper, pause, loop, handovers});
  std::size_t cycle = 1;
  pause.AwaitPause(cycle);
  for (auto _ : state) {
    pause.Release();
    pause.AwaitPause(++cycle);
    loop.RunPending();
    log.events.clear();
    log.wattTotals.clear();
  }
  pool.StopAll();
}
BENCHMARK(BM_WorkerCycle)->MeasureProcessCPUTime()->UseRealTime();

}  // namespace
