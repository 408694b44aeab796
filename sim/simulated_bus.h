#pragma once

#include <memory>

#include "platform/hid/hid_bus.h"
#include "sim/scenario.h"
#include "sim/simulated_devices.h"

namespace sim {

// A HID bus with a simulated PSU controller and gauge panel that answer the real byte
// protocol (see SimulatedPsu), shaped by a scenario. Safe to use from several threads.
class SimulatedBus : public platform::HidBus {
 public:
  explicit SimulatedBus(Scenario scenario = {}, SimulatedDevices::Options options = {});

  std::vector<platform::HidInterfaceInfo> Interfaces() override;
  std::vector<std::optional<std::string>> PresentDeviceIds() override;
  std::unique_ptr<platform::HidHandle> Open(const std::string& path,
                                            platform::HidAccess access) override;
  // Raised when a device is plugged or unplugged (SetMonitorPresent, SetGaugePresent) and
  // when the scenario's unplug_after strikes, on the thread that caused it.
  void SetChangeListener(std::function<void()> listener) override;

  void SetMonitorPresent(bool present);
  void SetGaugePresent(bool present);

  // A copy of the PSU model as it stands, and other things a test or tool looks at.
  SimulatedPsu Psu() const { return devices_->Psu(); }
  double Seconds() const { return devices_->Seconds(); }
  std::uint64_t MonitorReports() const { return devices_->MonitorReports(); }
  std::optional<std::vector<std::uint8_t>> LastGaugeReport() const {
    return devices_->LastGaugeReport();
  }
  std::uint64_t GaugeReports() const { return devices_->GaugeReports(); }
  std::vector<std::vector<std::uint8_t>> GaugeReportLog() const {
    return devices_->GaugeReportLog();
  }

 private:
  const std::shared_ptr<SimulatedDevices> devices_;
};

}  // namespace sim
