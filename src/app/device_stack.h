#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "device/trace_log.h"
#include "platform/hid/hid_bus.h"
#include "platform/lock/named_mutex.h"
#include "platform/registry/registry.h"
#include "sim/scenario.h"
#include "sim/simulated_bus.h"
#include "sim/simulated_devices.h"

namespace app {

// What both programs ask of the devices: the real ones or the simulated PSU with its
// scenario, traced to a file with --trace.
struct DeviceStackOptions {
  bool simulate = false;
  std::string scenarioFile;  // with --simulate=SCENARIO; empty for the built-in model
  std::optional<std::string> traceFile;
  // The simulated PSU's model time and its wait for a read time-out.
  sim::SimulatedDevices::Options simulatedTime = {};
  // The devices without --simulate; when empty, the real ones through hidapi.
  std::function<std::unique_ptr<platform::HidBus>()> deviceBus = {};
};

// A scenario that does not load or a trace file that does not open; what() is the message
// the program prints.
class DeviceStackError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bus (hidapi, injected or simulated), wrapped in the trace writer when a trace is asked
// for, and the access mutex, whose takes and releases go to the same trace as "LOCK" and
// "UNLOCK" lines. Everything it hands out lives as long as the stack.
class DeviceStack {
 public:
  // Loads the scenario, then opens the trace file; throws DeviceStackError when either fails.
  explicit DeviceStack(DeviceStackOptions options);
  DeviceStack(const DeviceStack&) = delete;
  DeviceStack& operator=(const DeviceStack&) = delete;
  ~DeviceStack();

  // Made when first asked for.
  platform::HidBus& Bus();
  // The simulated PSU's cable, to plug and unplug it; null unless simulating.
  sim::SimulatedBus* Simulated();
  // Traces the mutex's takes and releases; empty without a trace.
  platform::NamedMutex::Observer AccessMutexObserver() const;
  // The machine-wide access mutex in `lockDirectory`, observed as above.
  platform::NamedMutex::OpenResult OpenAccessMutex(
      const std::filesystem::path& lockDirectory) const;

 private:
  DeviceStackOptions options_;
  std::optional<sim::Scenario> scenario_;
  std::unique_ptr<device::TraceLog> trace_;
  std::unique_ptr<platform::HidBus> bus_;
  sim::SimulatedBus* simulated_ = nullptr;  // bus_, when simulating
  std::unique_ptr<platform::HidBus> tracingBus_;
};

// QUELTA_SIM_CLOCK=SECONDS pins the simulated PSU's model time, so that two runs (on two
// systems, say) answer alike; unset or empty, the model follows the wall clock.
inline constexpr char kSimClockVariable[] = "QUELTA_SIM_CLOCK";
// The pinned time of `text` (the variable's value); nullopt when unset or empty. Throws
// std::invalid_argument naming the variable for anything but a number of seconds, 0 or more.
std::optional<double> PinnedSimClock(const char* text);

// The settings store: `registryFile` (--registry FILE), or the user's file, seeded from the
// factory file in `programFolder` on first run. Throws platform::RegistryFileError naming the
// file when it cannot be had.
std::unique_ptr<platform::RegistryStore> OpenSettingsStore(
    const std::optional<std::string>& registryFile, const std::filesystem::path& programFolder);

}  // namespace app
