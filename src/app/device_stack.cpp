#include "app/device_stack.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "device/device_identity.h"
#include "device/tracing_hid_bus.h"
#ifdef _WIN32
#include "platform/hid/win32/win32_hid_bus.h"
#else
#include "platform/hid/hidapi_bus.h"
#endif
#include "platform/registry/user_settings.h"

namespace app {

DeviceStack::DeviceStack(DeviceStackOptions options) : options_(std::move(options)) {
  if (options_.simulate) {
    try {
      scenario_ = options_.scenarioFile.empty() ? sim::Scenario{}
                                                : sim::LoadScenarioFile(options_.scenarioFile);
    } catch (const sim::ScenarioError& error) {
      throw DeviceStackError(error.what());
    }
  }
  if (options_.traceFile) {
    device::TraceLog::OpenResult opened = device::TraceLog::Open(*options_.traceFile);
    if (!opened.log) throw DeviceStackError(opened.error);
    trace_ = std::move(opened.log);
  }
}

DeviceStack::~DeviceStack() = default;

platform::HidBus& DeviceStack::Bus() {
  if (!bus_) {
    if (scenario_) {
      auto simulated = std::make_unique<sim::SimulatedBus>(*scenario_, options_.simulatedTime);
      simulated_ = simulated.get();
      bus_ = std::move(simulated);
    } else if (options_.deviceBus) {
      bus_ = options_.deviceBus();
    } else {
#ifdef _WIN32
      bus_ = std::make_unique<platform::Win32HidBus>();
#else
      bus_ = std::make_unique<platform::HidapiBus>();
#endif
    }
    if (trace_) tracingBus_ = std::make_unique<device::TracingHidBus>(*bus_, *trace_);
  }
  return tracingBus_ ? *tracingBus_ : *bus_;
}

sim::SimulatedBus* DeviceStack::Simulated() {
  Bus();
  return simulated_;
}

platform::NamedMutex::Observer DeviceStack::AccessMutexObserver() const {
  if (!trace_) return {};
  return [&trace = *trace_](platform::NamedMutex::Event event) {
    trace.Event(event == platform::NamedMutex::Event::Locked ? "LOCK" : "UNLOCK");
  };
}

platform::NamedMutex::OpenResult DeviceStack::OpenAccessMutex(
    const std::filesystem::path& lockDirectory) const {
  platform::NamedMutex::OpenResult opened =
      platform::NamedMutex::Open(device::kAccessMutexName, lockDirectory);
  if (opened.mutex && trace_) opened.mutex->SetObserver(AccessMutexObserver());
  return opened;
}

std::unique_ptr<platform::RegistryStore> OpenSettingsStore(
    const std::optional<std::string>& registryFile, const std::filesystem::path& programFolder) {
  std::optional<std::filesystem::path> option;
  if (registryFile) option = *registryFile;
  return platform::OpenUserSettings(option, programFolder);
}

std::optional<double> PinnedSimClock(const char* text) {
  if (text == nullptr || text[0] == '\0') return std::nullopt;
  double seconds = 0;
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, seconds);
  if (error != std::errc() || stop != end || !std::isfinite(seconds) || seconds < 0) {
    throw std::invalid_argument(std::string(kSimClockVariable) +
                                " must be a number of seconds, 0 or more (got '" + text + "')");
  }
  return seconds;
}

}  // namespace app
