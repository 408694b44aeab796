// Costs of the device link: decoding one reply, one full poll against the simulated bus with
// the pauses off, and how long `status` holds the access lock against its 2 ms pauses.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "app/ctl/status_snapshot.h"
#include "device/device_discovery.h"
#include "device/monitor_protocol.h"
#include "device/real_sleeper.h"
#include "device/reply_decoder.h"
#include "platform/lock/named_mutex_guard.h"
#include "sim/simulated_bus.h"

namespace {

class NoPauses : public device::Sleeper {
 public:
  void Sleep(std::chrono::milliseconds) override {}
};

const device::InputReport kVoltagesA{0x00, 0xC2, 0x00, 0x80, 0x00, 0xC0, 0x80, 0xBA, 0x40};
const device::InputReport kVoltagesB{0x00, 0xBA, 0x40, 0xBA, 0x00, 0xB9, 0xC0, 0x94, 0x00};
const device::InputReport kCurrents{0x00, 0x40, 0x13, 0x00, 0x50, 0x51, 0x52, 0x00, 0x53};
const device::InputReport kFans{0x00, 0x04, 0x93, 0x07, 0x10, 0x00, 0x00, 0x00, 0x00};
const device::InputReport kTemps{0x00, 0x1C, 0x00, 0x1F, 0x00, 0x23, 0x00, 0x1A, 0x00};

device::CalibrationTable Calibration() {
  device::CalibrationTable table;
  device::DecodeCurrentOffsets({0, 4, 255, 5, 4, 6, 5, 0, 0}, table);
  device::DecodeCurrentGains({0, 124, 255, 125, 124, 126, 125, 0, 0}, table);
  return table;
}

// Every reply of one poll cycle decoded once; the rate is per reply.
void BM_DecodePollReplies(benchmark::State& state) {
  const device::CalibrationTable calibration = Calibration();
  device::ReadingSet readings;
  readings.ReferenceVoltage = 3.3f;
  constexpr int kRepliesPerPoll = 6;
  for (auto _ : state) {
    device::DecodeVoltagesA(kVoltagesA, readings);
    device::DecodeVoltagesB(kVoltagesB, readings);
    device::DecodeCurrents(kCurrents, calibration, readings);
    device::DecodeFans(kFans, readings);
    device::DecodeSensorTemps(kTemps, readings);
    device::DecodePsuTemp(kTemps, readings);
    readings.WattTotal = device::WattTotal(readings);
    benchmark::DoNotOptimize(readings);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kRepliesPerPoll);
}
BENCHMARK(BM_DecodePollReplies);

void BM_DecodeVoltageReply(benchmark::State& state) {
  device::ReadingSet readings;
  readings.ReferenceVoltage = 3.3f;
  for (auto _ : state) {
    device::DecodeVoltagesB(kVoltagesB, readings);
    benchmark::DoNotOptimize(readings);
  }
}
BENCHMARK(BM_DecodeVoltageReply);

void BM_DecodeCurrentReply(benchmark::State& state) {
  const device::CalibrationTable calibration = Calibration();
  device::ReadingSet readings;
  for (auto _ : state) {
    device::DecodeCurrents(kCurrents, calibration, readings);
    benchmark::DoNotOptimize(readings);
  }
}
BENCHMARK(BM_DecodeCurrentReply);

void BM_DecodeFanReply(benchmark::State& state) {
  device::ReadingSet readings;
  for (auto _ : state) {
    device::DecodeFans(kFans, readings);
    benchmark::DoNotOptimize(readings);
  }
}
BENCHMARK(BM_DecodeFanReply);

// One poll as the worker runs it: voltages, currents, fans, sensor and PSU temperatures,
// the total power. With reopen, also the two device searches each cycle starts with.
void BM_FullPoll(benchmark::State& state) {
  const bool reopen = state.range(0) != 0;
  sim::SimulatedBus bus;
  NoPauses sleeper;
  device::ReadingSet readings;
  device::CalibrationTable calibration = Calibration();
  readings.ReferenceVoltage = 3.3f;
  auto read = device::OpenMonitorDevice(bus);
  auto write = device::OpenMonitorDevice(bus);
  for (auto _ : state) {
    if (reopen) {
      read.reset();
      write.reset();
      read = device::OpenMonitorDevice(bus);
      write = device::OpenMonitorDevice(bus);
    }
    device::MonitorProtocol protocol(*write, *read, sleeper, readings, calibration);
    bool good = protocol.ReadVoltages();
    good &= protocol.ReadCurrents();
    good &= protocol.ReadFans();
    good &= protocol.ReadSensorTemps() && protocol.ReadPsuTemp();
    readings.WattTotal = device::WattTotal(readings);
    if (!good) state.SkipWithError("a group failed");
    benchmark::DoNotOptimize(readings);
  }
}
BENCHMARK(BM_FullPoll)->Arg(0)->Arg(1)->ArgName("reopen");

// `status` under the access lock with the real 2 ms pauses: the manual time is how long the
// lock was held; "vs_pauses" is that time over the twenty mandated pauses (40 ms).
void BM_StatusLockHold(benchmark::State& state) {
  constexpr double kMandatedSeconds = 20 * 0.002;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quelta-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  auto mutex = platform::NamedMutex::Open("Global\\Access_Norvane_KORL", dir).mutex;
  using Clock = std::chrono::steady_clock;
  Clock::time_point taken{};
  double held = 0.0;
  mutex->SetObserver([&](platform::NamedMutex::Event event) {
    if (event == platform::NamedMutex::Event::Locked) {
      taken = Clock::now();
    } else {
      held = std::chrono::duration<double>(Clock::now() - taken).count();
    }
  });
  sim::SimulatedBus bus;
  device::RealSleeper sleeper;
  auto read = device::OpenMonitorDevice(bus);
  auto write = device::OpenMonitorDevice(bus);
  double total = 0.0;
  for (auto _ : state) {
    device::ReadingSet readings;
    device::CalibrationTable calibration;
    device::MonitorProtocol protocol(*write, *read, sleeper, readings, calibration);
    {
      const platform::NamedMutexGuard lock(*mutex);
      benchmark::DoNotOptimize(app::ctl::ReadStatusSnapshot(protocol));
    }
    state.SetIterationTime(held);
    total += held;
  }
  state.counters["vs_pauses"] = total / static_cast<double>(state.iterations()) / kMandatedSeconds;
  mutex.reset();
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_StatusLockHold)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(25);

}  // namespace
