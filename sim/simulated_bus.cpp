#include "sim/simulated_bus.h"

#include "sim/simulated_handle.h"

namespace sim {

SimulatedBus::SimulatedBus(Scenario scenario, SimulatedDevices::Options options)
    : devices_(std::make_shared<SimulatedDevices>(std::move(scenario), std::move(options))) {}

std::vector<platform::HidInterfaceInfo> SimulatedBus::Interfaces() {
  return devices_->Interfaces();
}

std::vector<std::optional<std::string>> SimulatedBus::PresentDeviceIds() {
  return devices_->PresentDeviceIds();
}

std::unique_ptr<platform::HidHandle> SimulatedBus::Open(const std::string& path,
                                                        platform::HidAccess access) {
  auto endpoint = devices_->Attach(path, access == platform::HidAccess::ReadWrite);
  if (!endpoint) return nullptr;
  return std::make_unique<SimulatedHandle>(devices_, std::move(endpoint));
}

void SimulatedBus::SetChangeListener(std::function<void()> listener) {
  devices_->SetListener(std::move(listener));
}

void SimulatedBus::SetMonitorPresent(bool present) {
  devices_->SetPresent(SimulatedDevices::Kind::Monitor, present);
}

void SimulatedBus::SetGaugePresent(bool present) {
  devices_->SetPresent(SimulatedDevices::Kind::Gauge, present);
}

}  // namespace sim
