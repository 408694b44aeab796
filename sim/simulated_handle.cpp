#include "sim/simulated_handle.h"

namespace sim {

SimulatedHandle::SimulatedHandle(std::shared_ptr<SimulatedDevices> devices,
                                 std::shared_ptr<SimulatedDevices::Endpoint> endpoint)
    : devices_(std::move(devices)), endpoint_(std::move(endpoint)) {}

std::size_t SimulatedHandle::Write(std::span<const std::uint8_t> report) {
  return devices_->Write(*endpoint_, report);
}

std::size_t SimulatedHandle::Read(std::span<std::uint8_t> buffer) {
  return devices_->Read(*endpoint_, buffer);
}

std::size_t SimulatedHandle::ReadWaiting(std::span<std::uint8_t> buffer) {
  return devices_->ReadWaiting(*endpoint_, buffer);
}

std::optional<platform::HidCapabilities> SimulatedHandle::Capabilities() {
  return devices_->Capabilities(*endpoint_);
}

}  // namespace sim
