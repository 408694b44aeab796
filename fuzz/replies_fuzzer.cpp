// The reply decoder with the worker's groups: a device that answers with fuzzed bytes (or
// not at all) through start-up, a poll and a trim. Properties: no crash or undefined
// behaviour on any reply, and a trim never steps when it refused to start.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/conversions.h"
#include "device/monitor_protocol.h"
#include "device/recording_sleeper.h"
#include "fuzz/fuzz_check.h"

namespace {

// Answers each read with the next slice of the input: its first byte is the length (0 to 12;
// 9 is a good reply), then that many bytes.
class FuzzedDevice : public platform::HidHandle {
 public:
  explicit FuzzedDevice(std::span<const std::uint8_t> input) : input_(input) {}

  std::size_t Write(std::span<const std::uint8_t> report) override {
    if (report.size() > 1 && report[1] >= 0x06 && report[1] <= 0x08) ++steps;
    return report.size();
  }
  std::size_t Read(std::span<std::uint8_t> buffer) override {
    if (input_.empty()) return 0;
    const std::size_t length = std::min<std::size_t>(input_[0] % 13, input_.size() - 1);
    input_ = input_.subspan(1);
    std::copy_n(input_.begin(), length, buffer.begin());
    input_ = input_.subspan(length);
    return length;
  }
  std::optional<platform::HidCapabilities> Capabilities() override {
    return platform::HidCapabilities{9, 6};
  }

  int steps = 0;

 private:
  std::span<const std::uint8_t> input_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto rail = static_cast<device::TrimRail>(data[0] % 3);
  const float target = device::RailNominal(rail) * (0.8f + static_cast<float>(data[1]) / 640.0f);
  FuzzedDevice fuzzed(std::span<const std::uint8_t>(data + 2, size - 2));
  device::RecordingSleeper sleeper;
  device::ReadingSet readings;
  device::CalibrationTable calibration;
  device::MonitorProtocol protocol(fuzzed, fuzzed, sleeper, readings, calibration);

  // Start-up as the worker runs it, then one poll, then a trim.
  if (!protocol.ReadReference()) return 0;
  protocol.ReadCalibration();
  protocol.ReadPowerRating(device::RatingMapping::Worker);
  protocol.ReadVoltages();
  protocol.ReadCurrents();
  readings.WattTotal = device::WattTotal(readings);
  protocol.ReadFans();
  protocol.ReadSensorTemps();
  protocol.ReadPsuTemp();
  const device::TrimResult result = protocol.TrimOutput(rail, target);
  FUZZ_CHECK(result.steps == fuzzed.steps);
  FUZZ_CHECK(result.steps <= 200);
  const bool refused = result.stop == device::TrimStop::TargetOutOfRange ||
                       result.stop == device::TrimStop::ReadingOutOfRange ||
                       result.stop == device::TrimStop::ReferenceImplausible;
  if (refused) FUZZ_CHECK(result.steps == 0);
  if (result.steps > 0) {
    FUZZ_CHECK(result.reference >= 2.5f && result.reference <= 4.5f);
    FUZZ_CHECK(device::TrimTargetAllowed(rail, target));
  }
  return 0;
}
