#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "device/device_discovery.h"
#include "device/device_identity.h"
#include "device/monitor_protocol.h"
#include "device/recording_sleeper.h"
#include "device/trace_log.h"
#include "sim/simulated_bus.h"

namespace sim {
namespace {

TEST(SimulatedBus, APollerAndAPresenceWatcherCanShareTheBus) {
  SimulatedBus bus;
  std::atomic<bool> stop{false};
  std::atomic<int> polls{0};
  std::thread poller([&] {
    device::RecordingSleeper sleeper;
    device::ReadingSet readings;
    device::CalibrationTable calibration;
    while (!stop) {
      auto read = device::OpenMonitorDevice(bus);
      auto write = device::OpenMonitorDevice(bus);
      if (!read || !write) continue;
      device::MonitorProtocol protocol(*write, *read, sleeper, readings, calibration);
      protocol.ReadReference();
      protocol.ReadVoltages();
      ++polls;
    }
  });
  // The UI side: presence tests and gauge reports while the gauge comes and goes.
  for (int i = 0; i < 300 || polls < 20; ++i) {
    device::IsDevicePresent(bus, device::kMonitorDevice.instanceText);
    bus.SetGaugePresent(i % 2 == 0);
    if (auto gauge = device::OpenGaugeDevice(bus)) {
      gauge->Write(std::vector<std::uint8_t>{0, 0, 0x83, 0x20, 1, 0x20, 2, 0x20, 3});
    }
  }
  stop = true;
  poller.join();
  EXPECT_GT(polls.load(), 0);
}

TEST(TraceLog, LinesFromSeveralWritersToOneFileStayWhole) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("quelta-trace-threads-" + std::to_string(getpid()) + ".txt");
  std::filesystem::remove(path);
  const std::string payload = "M W 6 " + std::string(200, 'A');
  const auto writer = [&] {
    auto log = device::TraceLog::Open(path).log;  // each with its own descriptor, as two processes
    for (int i = 0; i < 500; ++i) log->Event(payload);
  };
  std::thread a(writer), b(writer);
  a.join();
  b.join();
  int count = 0;
  {
    // Closed before the removal, which Windows refuses for an open file.
    std::ifstream file(path);
    const std::regex whole("[0-9]+ M W 6 A{200}");
    for (std::string line; std::getline(file, line); ++count)
      ASSERT_TRUE(std::regex_match(line, whole)) << line;
  }
  EXPECT_EQ(count, 1000);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace sim
