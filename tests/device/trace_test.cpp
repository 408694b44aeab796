#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "device/device_discovery.h"
#include "device/tracing_hid_bus.h"
#include "sim/simulated_bus.h"

namespace device {
namespace {

using sim::ReplyOverride;
using sim::Scenario;
using sim::SimulatedBus;

std::vector<std::string> Lines(const std::filesystem::path& path) {
  std::ifstream file(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(file, line);) lines.push_back(line);
  return lines;
}

TEST(TracingHidBus, TracesEveryReportOfBothDevicesInTheLineFormat) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("quelta-trace-" + std::to_string(getpid()) + ".txt");
  std::filesystem::remove(path);
  {
    std::int64_t now = 1700000000000000;
    auto log = TraceLog::Open(path, [&] { return now++; }).log;
    ASSERT_NE(log, nullptr);
    Scenario scenario;
    scenario.monitor.replies[0x05] = {ReplyOverride::Kind::Silent, {}};
    SimulatedBus simulated(scenario);
    TracingHidBus bus(simulated, *log);
    auto monitor = OpenMonitorDevice(bus);
    auto gauge = OpenGaugeDevice(bus);
    std::vector<std::uint8_t> buffer(64);
    monitor->Write(std::vector<std::uint8_t>{0, 0x00, 1, 1, 1, 1});
    monitor->Read(buffer);
    monitor->Write(std::vector<std::uint8_t>{0, 0x05, 1, 1, 1, 1});
    monitor->Read(buffer);
    gauge->Write(std::vector<std::uint8_t>{0, 0, 0x83, 0x21, 0x0F, 0x20, 0x0F, 0xE0, 0x19});
    simulated.SetMonitorPresent(false);
    monitor->Write(std::vector<std::uint8_t>{0, 0x0B, 1, 0, 0, 0});
  }
  EXPECT_EQ(Lines(path), (std::vector<std::string>{
                             "1700000000000000 M W 6 00 00 01 01 01 01",
                             "1700000000000001 M R 9 00 80 00 00 00 00 00 00 00",
                             "1700000000000002 M W 6 00 05 01 01 01 01",
                             "1700000000000003 M R 0",
                             "1700000000000004 G W 9 00 00 83 21 0F 20 0F E0 19",
                             "1700000000000005 M W 0 00 0B 01 00 00 00",
                         }));
  std::filesystem::remove(path);
}

TEST(TraceLog, AFileThatCannotBeOpenedIsReportedByName) {
  const TraceLog::OpenResult opened = TraceLog::Open("/nonexistent-dir/trace.txt");
  EXPECT_EQ(opened.log, nullptr);
  EXPECT_NE(opened.error.find("/nonexistent-dir/trace.txt"), std::string::npos);
}

}  // namespace
}  // namespace device
