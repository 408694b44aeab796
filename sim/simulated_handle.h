#pragma once

#include <memory>

#include "platform/hid/hid_handle.h"
#include "sim/simulated_devices.h"

namespace sim {

// A handle on a simulated device. It keeps its own queue of input reports; once its device
// has vanished it stays dead, even when the device comes back.
class SimulatedHandle : public platform::HidHandle {
 public:
  SimulatedHandle(std::shared_ptr<SimulatedDevices> devices,
                  std::shared_ptr<SimulatedDevices::Endpoint> endpoint);

  std::size_t Write(std::span<const std::uint8_t> report) override;
  std::size_t Read(std::span<std::uint8_t> buffer) override;
  std::size_t ReadWaiting(std::span<std::uint8_t> buffer) override;
  std::optional<platform::HidCapabilities> Capabilities() override;

 private:
  const std::shared_ptr<SimulatedDevices> devices_;
  const std::shared_ptr<SimulatedDevices::Endpoint> endpoint_;
};

}  // namespace sim
